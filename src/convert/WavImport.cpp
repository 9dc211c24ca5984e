#include "convert/WavImport.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>

#include "card/FileIO.h"
#include "card/Model.h"
#include "codec/KpacHeader.h"

namespace wqe {

namespace {

constexpr std::uint16_t kWavPhraseBits = 16;
constexpr std::uint64_t kRiffSizeLimit = 0xFFFFFFFFull;

std::string fileText(const fs::path& p) { return p.filename().string(); }

void setPercent(std::atomic<int>* percent, int value) {
    if (percent) percent->store(value, std::memory_order_relaxed);
}

}  // namespace

std::string wavPhraseFormatProblem(const WaveInfo& info, const fs::path& path) {
    const WaveFormat& f = info.format;
    const std::string name = fileText(path);
    if (f.formatTag != kWaveFormatPcm)
        return name + ": format tag " + std::to_string(f.formatTag) + " is not PCM (1).";
    if (f.bitsPerSample != kWavPhraseBits)
        return name + ": " + std::to_string(f.bitsPerSample) +
               " bits per sample; a WAV phrase needs 16.";
    if (f.channels != 1 && f.channels != 2)
        return name + ": " + std::to_string(f.channels) + " channels; a WAV phrase has 1 or 2.";
    if (f.blockAlign != 2 * f.channels)
        return name + ": block align " + std::to_string(f.blockAlign) + " does not fit " +
               std::to_string(f.channels) + " channel(s) of 16 bits.";
    if (!kpac::gradeOfRate(f.sampleRate))
        return name + ": " + std::to_string(f.sampleRate) + " Hz is not one of " +
               kpac::gradeRateList() + " Hz.";
    if (info.dataOffset % 2 != 0)
        return name + ": the sample data starts at the odd offset " +
               std::to_string(info.dataOffset) + ".";
    return {};
}

Expected<WaveInfo> probeWavPhrase(const fs::path& path) {
    auto info = probeWaveFile(path);
    if (!info) return info;
    if (std::string why = wavPhraseFormatProblem(*info, path); !why.empty()) return unexpected(why, ErrorKind::Unsupported);
    return info;
}

std::uint64_t paddedDataSize(std::uint32_t dataSize, std::uint16_t blockAlign) {
    const std::uint64_t unit = std::uint64_t{kBlockFrames} * blockAlign;
    if (unit == 0) return dataSize;
    return (dataSize + unit - 1) / unit * unit;
}

namespace {

// Marks a failed write of the target; its cause is in errno.
constexpr const char* kWriteFailed = "write";

std::string causeOf(int error) {
    return error ? std::generic_category().message(error) : std::string("incomplete write");
}

// Opens the source and checks that it can be a WAV phrase; "" when it can.
std::string openSource(const fs::path& source, CWaveFile& in, WaveInfo& info) {
    if (!in.Open(source)) return fileText(source) + ": " + describe(in.OpenError());
    info.format = in.Format();
    info.dataOffset = in.DataOffset();
    info.dataSize = in.DataSize();
    return wavPhraseFormatProblem(info, source);
}

// Copies `size` sample bytes piece by piece, following the percentage; ""
// on success. A source that ends early is named with the bytes it held.
constexpr const char* kCopyCancelled = "cancelled";

std::string copySamples(CWaveFile& in, CWaveFile& out, const fs::path& source, std::uint32_t size,
                        std::atomic<int>* filePercent, const std::atomic<bool>* cancel) {
    std::array<std::uint8_t, kImportPieceSize> piece{};
    const std::uint32_t hundredth = size / 100 ? size / 100 : 1;
    std::uint32_t copied = 0;
    while (copied < size) {
        const std::size_t n = std::min<std::size_t>(piece.size(), size - copied);
        const std::size_t got = in.Read(piece.data(), n);
        if (got != n)
            return fileText(source) + ": the sample data ends after " +
                   std::to_string(copied + got) + " of " + std::to_string(size) + " bytes.";
        if (!out.WriteExact(piece.data(), n)) return kWriteFailed;
        copied += static_cast<std::uint32_t>(n);
        setPercent(filePercent, static_cast<int>(std::min<std::uint32_t>(100, copied / hundredth)));
        if (cancel && cancel->load(std::memory_order_relaxed)) return kCopyCancelled;
    }
    return {};
}

bool writePadding(CWaveFile& out, std::uint32_t pad) {
    const std::array<std::uint8_t, kImportPieceSize> zeros{};
    for (std::uint32_t left = pad; left > 0;) {
        const std::size_t n = std::min<std::size_t>(zeros.size(), left);
        if (!out.WriteExact(zeros.data(), n)) return false;
        left -= static_cast<std::uint32_t>(n);
    }
    return true;
}

// The phrase keeps one data file: removes its ".PHR" and ".MID" files.
void removeOtherDataFiles(FileSystem& fsys, const fs::path& target, WavImportResult& result) {
    std::error_code ec;
    for (const char* ext : {"PHR", "MID"}) {
        const fs::path other =
            findCardFile(target.parent_path(), target.stem().string() + "." + ext);
        if (sameFolder(other, target) || !fs::exists(other, ec)) continue;
        if (Status s = fsys.remove(other); s)
            result.removed.push_back(other);
        else
            result.error += (result.error.empty() ? "" : "\n") + fileText(other) +
                            ": could not be deleted: " + s.error().reason;
    }
}

}  // namespace

WavImportResult importWavFile(const fs::path& source, const fs::path& target,
                              std::atomic<int>* filePercent, const std::atomic<bool>* cancel,
                              FileSystem& fsys) {
    WavImportResult result;
    setPercent(filePercent, 0);
    auto fail = [&](std::string why) {
        result.ok = false;
        result.error = std::move(why);
        return result;
    };

    CWaveFile in;
    WaveInfo info;
    if (std::string why = openSource(source, in, info); !why.empty()) return fail(why);
    const std::uint32_t size = info.dataSize;
    const std::uint64_t padded = paddedDataSize(size, info.format.blockAlign);
    if (padded + kCanonicalWaveHeaderSize - 8 > kRiffSizeLimit)
        return fail(fileText(source) + ": too much sample data for a WAV file.");
    const auto pad = static_cast<std::uint32_t>(padded - size);

    // Beside the target, so the rename into place stays in one folder; the
    // name carries the process id, so a later run removes it if this one dies.
    const fs::path temp = temporaryPathFor(target);
    std::error_code ec;
    auto failAndRemove = [&](std::string why) {
        in.Close();
        fs::remove(temp, ec);
        return fail(std::move(why));
    };

    std::string problem;
    int writeError = 0;
    auto check = [&](bool written) {
        if (!written && problem.empty()) {
            problem = kWriteFailed;
            writeError = errno;
        }
    };
    {
        CWaveFile out;
        errno = 0;
        if (!out.Create(temp))
            return failAndRemove(fileText(target) + ": cannot be created in " +
                                 target.parent_path().string() + ": " + causeOf(errno));
        WaveFormat format = info.format;
        format.extraSize = 0;  // a fresh 16-byte format block
        check(out.WriteFormat(format) &&
              out.WriteChunkHeader("data", static_cast<std::uint32_t>(padded)));
        if (problem.empty()) {
            problem = copySamples(in, out, source, size, filePercent, cancel);
            if (problem == kWriteFailed) writeError = errno;
        }
        if (problem.empty()) check(writePadding(out, pad));
        // Closing patches the RIFF size; its failure is a failure of the file.
        check(out.Finish());
    }
    in.Close();
    const std::uint64_t expected = kCanonicalWaveHeaderSize + padded;
    if (problem.empty() && (fs::file_size(temp, ec) != expected || ec)) problem = kWriteFailed;
    if (problem == kWriteFailed)
        return failAndRemove(fileText(target) +
                             ": could not be written completely: " + causeOf(writeError));
    if (problem == kCopyCancelled) {
        result.cancelled = true;
        return failAndRemove(fileText(source) + ": cancelled; " + fileText(target) +
                             " was not written.");
    }
    if (!problem.empty()) return failAndRemove(problem);
    if (Status s = fsys.rename(temp, target); !s)
        return failAndRemove(fileText(target) + ": cannot be put in place: " + s.error().reason);
    setPercent(filePercent, 100);

    result.ok = true;
    result.dataBytes = size;
    result.padBytes = pad;
    removeOtherDataFiles(fsys, target, result);
    return result;
}

std::optional<int> nextFreePhraseNumber(const fs::path& folder, int start, int maxNumber) {
    std::error_code ec;
    for (int n = std::max(start, 1); n <= maxNumber; ++n) {
        bool taken = false;
        for (const char* ext : {"MID", "PHR", "WAV"})
            taken =
                taken || fs::exists(findCardFile(folder, phraseDataFileName("", n - 1, ext)), ec);
        if (!taken) return n;
    }
    return std::nullopt;
}

int startNumberFromTargetName(const std::string& name) {
    if (!upperAscii(name).starts_with("_WQP")) return 1;
    int n = 0;
    for (std::size_t k = 4; k < name.size() && name[k] >= '0' && name[k] <= '9' && n < 100000; ++k)
        n = n * 10 + (name[k] - '0');
    return std::max(n, 1);
}

int ImportProgress::overallPercent() const {
    const int count = fileCount.load(std::memory_order_relaxed);
    const int file = filePercent.load(std::memory_order_relaxed);
    if (count < 2) return file;
    const int done = filesDone.load(std::memory_order_relaxed);
    return std::min(100, (file + 100 * done) / count);
}

ImportBatch importWavFiles(const std::vector<fs::path>& sources, const fs::path& cardFolder,
                           int start, int maxNumber, ImportProgress* progress,
                           const ImportItemCallback& onItem, FileSystem& fsys) {
    ImportBatch batch;
    if (progress) {
        progress->fileCount = static_cast<int>(sources.size());
        progress->filesDone = 0;
        progress->filePercent = 0;
    }
    int next = start;
    for (const fs::path& source : sources) {
        if (progress && progress->cancel.load(std::memory_order_relaxed)) {
            batch.cancelled = true;
            break;
        }
        ImportItem item;
        item.source = source;
        if (const auto n = nextFreePhraseNumber(cardFolder, next, maxNumber)) {
            next = *n;
            item.target = cardFolder / phraseDataFileName("", *n - 1, "WAV");
            const auto r =
                importWavFile(source, item.target, progress ? &progress->filePercent : nullptr,
                              progress ? &progress->cancel : nullptr, fsys);
            item.ok = r.ok;
            item.cancelled = r.cancelled;
            item.error = r.error;
            item.padBytes = r.padBytes;
            if (r.ok) ++batch.succeeded;
        } else {
            item.error = fileText(source) + ": no free phrase number from " + std::to_string(next) +
                         " to " + std::to_string(maxNumber) + " in " + cardFolder.string() + ".";
        }
        if (progress) {
            ++progress->filesDone;
            progress->filePercent = 0;
        }
        if (onItem) onItem(item);
        batch.items.push_back(std::move(item));
    }
    return batch;
}

}  // namespace wqe

#include "convert/WavImport.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

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
    if (std::string why = wavPhraseFormatProblem(*info, path); !why.empty())
        return unexpected(why, ErrorKind::Unsupported);
    return info;
}

std::uint64_t paddedDataSize(std::uint32_t dataSize, std::uint16_t blockAlign) {
    return paddedDataSize64(dataSize, blockAlign);
}

std::uint64_t paddedDataSize64(std::uint64_t dataSize, std::uint16_t blockAlign) {
    const std::uint64_t unit = std::uint64_t{kBlockFrames} * blockAlign;
    if (unit == 0) return dataSize;
    return (dataSize + unit - 1) / unit * unit;
}

namespace {

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

// Opens the source and decides what the WAV phrase receives: 16 bits, one or
// two channels, a device rate; "" when it can.
std::string openSource(const fs::path& source, const InputOptions& input,
                       std::unique_ptr<ConvertedWave>& wave, InputPlan& plan) {
    auto reader = openAudioInput(source);
    if (!reader) return fileText(source) + ": " + reader.error().reason;
    auto planned = planInput((*reader)->format(), input, kWavPhraseBits);
    if (!planned) return fileText(source) + ": " + planned.error().reason + ".";
    plan = *planned;
    auto made = ConvertedWave::create(std::move(*reader), plan);
    if (!made) return fileText(source) + ": " + made.error().reason + ".";
    wave = std::move(*made);
    return {};
}

}  // namespace

WavImportResult importWavFile(const fs::path& source, const fs::path& target,
                              std::atomic<int>* filePercent, const std::atomic<bool>* cancel,
                              FileSystem& fsys, const InputOptions& input) {
    WavImportResult result;
    setPercent(filePercent, 0);
    auto fail = [&](std::string why) {
        result.ok = false;
        result.error = std::move(why);
        return result;
    };

    std::unique_ptr<ConvertedWave> wave;
    InputPlan plan;
    if (std::string why = openSource(source, input, wave, plan); !why.empty()) return fail(why);
    const auto blockAlign = static_cast<std::uint16_t>(2 * plan.channels);
    const std::uint64_t size = wave->frames() * blockAlign;
    const std::uint64_t padded = paddedDataSize64(size, blockAlign);
    if (padded + kCanonicalWaveHeaderSize - 8 > kRiffSizeLimit)
        return fail(fileText(source) + ": too much sample data for a WAV file.");

    // The converted stream starts with its own 44-byte header; the phrase's
    // header states the padded size.
    std::array<std::uint8_t, kCanonicalWaveHeaderSize> streamHeader{};
    if (wave->read(streamHeader.data(), streamHeader.size()) != streamHeader.size())
        return fail(fileText(source) + ": " +
                    (wave->failed() ? wave->error()->reason : "no sample data") + ".");
    const WaveFormat format =
        WaveFormat::pcm(static_cast<std::uint16_t>(plan.channels), plan.rate, kWavPhraseBits);
    const auto header = canonicalWaveHeader(format, static_cast<std::uint32_t>(padded));

    auto file = AtomicFile::begin(fsys, target);
    if (!file)
        return fail(fileText(target) + ": cannot be created in " + target.parent_path().string() +
                    ": " + file.error().reason);
    auto writeFailed = [&](const Status& s) {
        return fail(fileText(target) + ": could not be written completely: " + s.error().reason);
    };
    if (Status s = file->write(header); !s) return writeFailed(s);

    std::vector<std::uint8_t> piece(kImportPieceSize * 128);
    const std::uint64_t hundredth = size / 100 ? size / 100 : 1;
    std::uint64_t copied = 0;
    while (copied < size) {
        const auto n =
            static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), size - copied));
        const std::size_t got = wave->read(piece.data(), n);
        if (got != n) {
            if (wave->failed()) return fail(fileText(source) + ": " + wave->error()->reason + ".");
            return fail(fileText(source) + ": the sample data ends after " +
                        std::to_string((copied + got) / blockAlign) + " of " +
                        std::to_string(wave->frames()) + " frames.");
        }
        if (Status s = file->write(std::span<const std::uint8_t>(piece.data(), n)); !s)
            return writeFailed(s);
        copied += n;
        setPercent(filePercent, static_cast<int>(std::min<std::uint64_t>(100, copied / hundredth)));
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            result.cancelled = true;
            return fail(fileText(source) + ": cancelled; " + fileText(target) +
                        " was not written.");
        }
    }
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(padded - size), 0);
    if (Status s = file->write(zeros); !s) return writeFailed(s);
    if (Status s = file->commit(); !s)
        return fail(fileText(target) + ": cannot be put in place: " + s.error().reason);
    setPercent(filePercent, 100);

    result.ok = true;
    result.dataBytes = static_cast<std::uint32_t>(size);
    result.padBytes = static_cast<std::uint32_t>(padded - size);
    result.conversions = plan.summary();
    if (const std::uint64_t clipped = wave->clippedSamples())
        result.conversions += (result.conversions.empty() ? "" : ", ") + std::to_string(clipped) +
                              " samples clipped at full scale";
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
                           const ImportItemCallback& onItem, FileSystem& fsys,
                           const InputOptions& input) {
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
                              progress ? &progress->cancel : nullptr, fsys, input);
            item.ok = r.ok;
            item.cancelled = r.cancelled;
            item.error = r.error;
            item.padBytes = r.padBytes;
            item.conversions = r.conversions;
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

#include "maintenance/PhraseCopy.h"

#include <cstdio>
#include <fstream>

#include "card/FileIO.h"
#include "card/PhrasePrm.h"
#include "codec/KpacHeader.h"
#include "convert/WavImport.h"

namespace wqe {

namespace {

constexpr std::size_t kMidiHeaderSize = 14;
constexpr int kDefaultMidiTempo = 120;         // what a MIDI file without a tempo event plays at
constexpr int kTempoMin = 5, kTempoMax = 260;  // the tempo byte holds tempo - 5

// The first `count` bytes of a file (fewer when it is shorter).
std::vector<std::uint8_t> readStart(const fs::path& path, std::size_t count) {
    std::vector<std::uint8_t> bytes(count);
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::string extensionOf(const fs::path& p) {
    std::string ext = p.extension().string();
    if (!ext.empty()) ext.erase(0, 1);
    return upperAscii(ext);
}

int leadingNumber(std::string_view text) {
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || n > 100000) break;
        n = n * 10 + (c - '0');
    }
    return n;
}

// One record of the card's model over a private buffer.
struct OneRecord {
    explicit OneRecord(Model m, std::vector<std::uint8_t>& bytes) {
        phr.setModel(m);
        phr.attach(bytes);
    }
    CWQEPhr phr;
};

bool isMidiHeader(std::span<const std::uint8_t> head) {
    return head.size() >= kMidiHeaderSize && head[0] == 'M' && head[1] == 'T' && head[2] == 'h' &&
           head[3] == 'd' && head[8] == 0;
}

// Whether the candidate record is of the source's kind (a record of another
// kind is replaced by the default record).
bool candidateMatches(Model m, const std::vector<std::uint8_t>& rec, SourceKind kind,
                      const std::string& ext) {
    if (m == Model::WQ5000) {
        const bool used = rec[0] == 1, midi = rec[5] == 1, pattern = rec[15] != 0;
        switch (kind) {
            case SourceKind::Audio:
                return used && !midi && !pattern;
            case SourceKind::Pattern5000:
                return used && !midi && pattern;
            case SourceKind::Midi:
                return used && midi;
            default:
                return false;
        }
    }
    switch (kind) {
        case SourceKind::Audio:
            // A WAV source needs a record of audio stored as WAV, a KPAC
            // source one stored as KPAC.
            return rec[0] == kTypeAudio && ((rec[24] == kModeWav) == (ext == "WAV"));
        case SourceKind::Pattern7000:
            return rec[0] == kTypePattern;
        case SourceKind::Song:
            return rec[0] == kTypeSong;
        case SourceKind::Midi:
            return rec[0] == kTypeMidi;
        default:
            return false;
    }
}

// The kinds each model stores.
bool modelStores(Model m, SourceKind kind) {
    switch (kind) {
        case SourceKind::Audio:
        case SourceKind::Midi:
            return true;
        case SourceKind::Pattern5000:
            return m == Model::WQ5000;
        case SourceKind::Pattern7000:
        case SourceKind::Song:
            return m == Model::WQ7000;
        default:
            return false;
    }
}

std::string cardName(const CWQEDoc& doc) { return doc.sys().getCardName(); }

}  // namespace

std::string phraseCopyTitle(Model m, int slot) {
    char number[16];
    std::snprintf(number, sizeof number, m == Model::WQ5000 ? "%03d)" : "%04d)", slot + 1);
    return std::string("Phrase Copy(Phrase No,") + number;
}

int copySlotCount(const CWQEDoc& doc) {
    if (!doc.isLoaded()) return 0;
    const int count = phraseCountForModel(doc.sys().getPhraseCountCode(), doc.model());
    return std::min(count, doc.phr().recordCount());
}

std::optional<int> nextEmptySlot(const CWQEDoc& doc, int from, bool upwards) {
    const int count = copySlotCount(doc);
    auto empty = [&](int i) { return !doc.phr().isUsed(i); };
    if (upwards) {
        for (int i = from + 1; i < count; ++i)
            if (empty(i)) return i;
        for (int i = count - 1; i >= 0; --i)
            if (empty(i)) return i;
    } else {
        for (int i = std::min(from, count) - 1; i >= 0; --i)
            if (empty(i)) return i;
        for (int i = 0; i < count; ++i)
            if (empty(i)) return i;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> defaultCopyRecord(Model m, const std::string& name, int slot) {
    std::vector<std::uint8_t> rec(phraseRecordSize(m), 0);
    OneRecord r(m, rec);
    if (m == Model::WQ5000) {
        r.phr.erase(0);
    } else {
        r.phr.setGrade(0, 3);
        r.phr.setMode(0, 3);
        r.phr.setRecordingType(0, 1);
        r.phr.setVolume(0, 100);
        r.phr.setTempo(0, 115);
        r.phr.setTempo2(0, 115);
    }
    char number[16];
    std::snprintf(number, sizeof number, "%03d", slot + 1);
    std::string text = name.substr(0, std::min<std::size_t>(8, name.find('\0'))) + number;
    text.resize(phraseNameLength(m), ' ');
    r.phr.setName(0, text);
    return rec;
}

std::optional<int> midiFileTempo(std::span<const std::uint8_t> file) {
    for (std::size_t k = kMidiHeaderSize; k + 1 < file.size(); ++k) {
        if (file[k] != 0xFF) continue;
        const std::uint8_t type = file[k + 1];
        if (type == 0x2F) return std::nullopt;
        if (type != 0x51) continue;
        if (k + 5 >= file.size()) return std::nullopt;
        const std::uint32_t us =
            std::uint32_t{file[k + 3]} << 16 | std::uint32_t{file[k + 4]} << 8 | file[k + 5];
        if (us == 0) return std::nullopt;
        return static_cast<int>(60000000u / us);
    }
    return std::nullopt;
}

CopySource evaluateSource(const fs::path& file, const CWQEDoc& doc, Prompter& prompter) {
    CopySource src;
    src.path = file;
    const Model m = doc.model();
    const fs::path folder = file.parent_path();
    const std::string name = file.filename().string();
    src.sourceNumber = name.size() > 4 ? leadingNumber(std::string_view(name).substr(4)) : 0;

    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        src.problem = file.string() + ": no such file.";
        return src;
    }

    // Memo line of the source number.
    const fs::path memoPath = findCardFile(folder, kMemoFileName);
    if (fs::exists(memoPath, ec) && src.sourceNumber >= 1 && src.sourceNumber <= kMemoSlots) {
        CWQEMemo memo;
        memo.setModel(m);
        if (memo.read(memoPath.string()).empty())
            src.memo = memo.phraseMemo(src.sourceNumber - 1);
        else
            prompter.message(kMsgMemoFile, Icon::Exclamation);
    }

    // Candidate record from the folder's phrase settings file of the card's model.
    src.candidate = defaultCopyRecord(m, cardName(doc), 0);
    src.candidate[0] = 0;
    const fs::path settings = findCardFile(folder, phraseFileName(m));
    const std::size_t size = phraseRecordSize(m);
    bool fromSettings = false;
    if (fs::exists(settings, ec) && upperAscii(name).starts_with("_WQP") && src.sourceNumber >= 1 &&
        src.sourceNumber <= highestPhraseCount(m)) {
        std::ifstream in(settings, std::ios::binary);
        std::vector<std::uint8_t> rec(size);
        in.seekg(static_cast<std::streamoff>((src.sourceNumber - 1) * size));
        in.read(reinterpret_cast<char*>(rec.data()), static_cast<std::streamsize>(size));
        if (in && static_cast<std::size_t>(in.gcount()) == size) {
            src.candidate = rec;
            fromSettings = true;
        }
    }

    const std::string ext = extensionOf(file);
    if (ext == "PHR") {
        const auto head = readStart(file, kpac::kHeaderSize);
        src.extension = "PHR";
        if (head.size() < kpac::kHeaderSize) {
            src.problem = file.string() + ": shorter than a phrase file header (16 bytes).";
        } else if (head[0] == 'Q' && head[1] == 'W' && head[2] == 'h' && head[3] == 'P') {
            const auto header = kpac::parseHeader(head);
            const bool fits = header && (m == Model::WQ7000 ||
                                         (header->grade < 5 && static_cast<int>(header->mode) < 3));
            src.kind = fits ? SourceKind::Audio : SourceKind::BadAudio;
            if (!header)
                src.problem = file.string() + ": " + header.error();
            else if (!fits)
                src.problem = file.string() + ": a " + std::string(modelName(m)) +
                              " card cannot play this grade or mode.";
        } else if (head[0] == 'W' && head[1] == 'Q' && head[2] == 'P' && head[3] == 'h' &&
                   head[9] <= 2) {
            src.kind = head[9] == 0   ? SourceKind::Pattern5000
                       : head[9] == 1 ? SourceKind::Pattern7000
                                      : SourceKind::Song;
        } else {
            src.problem = file.string() + ": not an audio, pattern or song phrase file.";
        }
    } else if (ext == "MID") {
        src.extension = "MID";
        std::string error;
        const auto bytes = readWholeFile(file, error);
        src.kind = bytes && isMidiHeader(*bytes) ? SourceKind::Midi : SourceKind::BadMidi;
        if (src.kind == SourceKind::BadMidi)
            src.problem = bytes ? file.string() + ": not a standard MIDI file." : error;
    } else if (ext == "WAV") {
        src.extension = "WAV";
        if (m == Model::WQ5000) {
            src.problem = file.string() + ": a WQ-5000 card does not play WAV phrases.";
        } else if (auto info = probeWavPhrase(file); !info) {
            src.problem = info.error();
        } else if (!wavPhraseFormat(*info)) {
            src.problem = file.string() + ": the sample data starts beyond offset " +
                          std::to_string(kMaxWavDataOffset) + ".";
        } else {
            src.kind = SourceKind::Audio;
        }
    } else {
        src.problem = file.string() + ": not a .PHR, .MID or .WAV file.";
    }
    if (src.problem.empty() && !modelStores(m, src.kind))
        src.problem = file.string() + ": a " + std::string(modelName(m)) +
                      " card cannot hold a phrase of this layout.";
    if (fromSettings && !candidateMatches(m, src.candidate, src.kind, src.extension)) {
        src.candidate = defaultCopyRecord(m, cardName(doc), 0);
        src.candidate[0] = 0;
    }
    return src;
}

bool buildRecord(const CopySource& source, const CWQEDoc& doc, int slot,
                 std::vector<std::uint8_t>& record, std::string& error) {
    const Model m = doc.model();
    if (!source.usable() || !modelStores(m, source.kind)) {
        error =
            source.problem.empty() ? source.path.string() + ": cannot be copied." : source.problem;
        return false;
    }
    record = defaultCopyRecord(m, cardName(doc), slot);
    if (source.extension == "WAV") {
        // Audio stored as WAV: the record the registration of a WAV data file makes.
        auto prm = CPhrasePrm::create(Model::WQ7000);
        if (m != Model::WQ7000 || !prm->registerWav(source.path, slot, cardName(doc))) {
            error = source.path.string() + ": cannot be registered as a WAV phrase.";
            return false;
        }
        const auto bytes = static_cast<const CPhrasePrm&>(*prm).bytes();
        record.assign(bytes.begin(), bytes.end());
        return true;
    }

    std::error_code ec;
    const auto fileLength = fs::file_size(source.path, ec);
    if (ec) {
        error = source.path.string() + ": " + ec.message();
        return false;
    }
    const auto dfl = static_cast<std::uint32_t>(fileLength);
    OneRecord r(m, record);
    CWQEPhr& p = r.phr;
    const bool w5 = m == Model::WQ5000;
    int tempo = kDefaultMidiTempo;
    if (source.kind == SourceKind::Midi) {
        const auto bytes = readWholeFile(source.path, error);
        if (!bytes) return false;
        tempo = std::clamp(midiFileTempo(*bytes).value_or(kDefaultMidiTempo), kTempoMin, kTempoMax);
    }
    switch (source.kind) {
        case SourceKind::Audio: {
            const auto head = readStart(source.path, kpac::kHeaderSize);
            const auto raw = kpac::readRawHeader(head);
            if (!raw) {
                error = source.path.string() + ": the phrase file header cannot be read.";
                return false;
            }
            if (w5)
                p.setUsed(0, 1);
            else
                p.setType(0, kTypeAudio);
            p.setGrade(0, raw->grade);
            p.setMode(0, raw->mode);
            p.setRecordingType(0, raw->channelsMinusOne);
            p.setLength(0, raw->blockCount);
            p.setDataFileLength(0, dfl);
            if (!w5) {
                p.setDataOffset(0, kpac::kHeaderSize);
                if (raw->mode != static_cast<int>(kpac::Mode::Mode2)) {
                    p.setEndPoint(0, raw->blockCount);
                    p.setLoop2Point(0, raw->blockCount);
                }
                p.setVolume(0, 100);
                p.setRegistered(0, 1);
                p.setTempo(0, 115);
                p.setTempo2(0, 115);
            }
            break;
        }
        case SourceKind::Pattern5000:
            p.setUsed(0, 1);
            p.setDataFileLength(0, dfl);
            p.setVolume(0, 0);
            p.setPatternMode(0, 1);
            p.setTempo(0, 0);
            p.setTempo2(0, 0);
            break;
        case SourceKind::Pattern7000:
        case SourceKind::Song:
            p.setType(0, source.kind == SourceKind::Song ? kTypeSong : kTypePattern);
            p.setGrade(0, 3);
            p.setMode(0, 3);
            p.setRecordingType(0, 1);
            p.setDataFileLength(0, dfl);
            p.setVolume(0, 100);
            p.setRegistered(0, 1);
            p.setTempo(0, 115);
            p.setTempo2(0, 115);
            break;
        case SourceKind::Midi:
            if (w5) {
                p.setUsed(0, 1);
                p.setMidiFlag(0, 1);
                p.setVolume(0, 0);
            } else {
                p.setType(0, kTypeMidi);
                p.setGrade(0, 3);
                p.setMode(0, 3);
                p.setRecordingType(0, 1);
                p.setVolume(0, 100);
                p.setRegistered(0, 1);
            }
            p.setDataFileLength(0, dfl);
            p.setTempo(0, static_cast<std::uint32_t>(tempo - kTempoMin));
            p.setTempo2(0, static_cast<std::uint32_t>(tempo - kTempoMin));
            break;
        default:
            error = source.path.string() + ": cannot be copied.";
            return false;
    }
    return true;
}

CopyResult copyPhrase(CWQEDoc& doc, const CopySource& source, int slot, Prompter& prompter) {
    CopyResult result;
    if (!doc.isLoaded() || slot < 0 || slot >= copySlotCount(doc)) {
        result.error = "Phrase " + std::to_string(slot + 1) + " is not a phrase slot of the card.";
        return result;
    }
    if (doc.phr().isUsed(slot)) {
        result.error = "Phrase " + std::to_string(slot + 1) + " is not empty.";
        return result;
    }
    std::vector<std::uint8_t> record = source.candidate;
    if (!source.usable()) {
        result.error =
            source.problem.empty() ? source.path.string() + ": cannot be copied." : source.problem;
        return result;
    }
    if (source.candidateEmpty() && !buildRecord(source, doc, slot, record, result.error))
        return result;

    const fs::path folder = fs::path(doc.systemPath()).parent_path();
    result.destination = findCardFile(folder, phraseDataFileName("", slot, source.extension));
    std::error_code ec;
    bool copied;
    if (sameFolder(source.path, result.destination)) {
        copied = true;  // the file already lies where the slot needs it
    } else {
        copied = fs::copy_file(source.path, result.destination,
                               fs::copy_options::overwrite_existing, ec) &&
                 !ec;
        if (!copied) {
            // No partial data file is left under the slot's name.
            std::error_code ignore;
            fs::remove(result.destination, ignore);
            result.error = "could not copy " + source.path.string() + " to " +
                           result.destination.string() + ": " + ec.message();
        }
    }
    if (!copied) {
        result.status = CopyResult::Status::CopyFailed;
        prompter.message(kMsgCopyFailed, Icon::Exclamation);
        return result;
    }
    prompter.message(kMsgCopySucceeded, Icon::Information);

    // Field by field, the name included; bytes no field names stay as they are.
    CWQEPhr one;
    one.setModel(doc.model());
    one.attach(record);
    for (const PhraseFieldInfo& info : phraseFields()) {
        if (!info.exists(doc.model())) continue;
        const auto f = static_cast<PhraseField>(&info - phraseFields().data());
        doc.phr().set(slot, f, one.get(0, f));
    }
    doc.phr().setName(slot, one.getName(0));
    doc.memo().setPhraseMemo(slot, source.memo);
    doc.markModified(true);
    result.status = CopyResult::Status::Copied;
    result.nextSlot = nextEmptySlot(doc, slot, true);
    return result;
}

}  // namespace wqe

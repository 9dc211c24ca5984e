#include "maintenance/PhraseCopy.h"

#include <fstream>

#include "card/FileIO.h"
#include "card/PatternFile.h"
#include "card/PhrasePrm.h"
#include "codec/KpacHeader.h"
#include "convert/WavImport.h"

namespace wqe {

namespace {

int leadingNumber(std::string_view text) {
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || n > 100000) break;
        n = n * 10 + (c - '0');
    }
    return n;
}

// Whether the candidate record is of the source's kind (a record of another
// kind is replaced by the default record).
bool candidateMatches(Model m, const std::vector<std::uint8_t>& bytes, SourceKind kind,
                      const std::string& ext) {
    auto prm = CPhrasePrm::create(m);
    std::copy(bytes.begin(), bytes.end(), prm->bytes().begin());
    switch (kind) {
        case SourceKind::Audio:
            // A WAV source needs a record of audio stored as WAV, a KPAC
            // source one stored as KPAC.
            return prm->kind() == kTypeAudio &&
                   ((prm->fields().getMode(0) == kModeWav) == (ext == "WAV"));
        case SourceKind::Pattern5000:
        case SourceKind::Pattern7000:
            return prm->kind() == kTypePattern;
        case SourceKind::Song:
            return prm->kind() == kTypeSong;
        case SourceKind::Midi:
            return prm->kind() == kTypeMidi;
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

// The candidate placeholder: the default record, marked empty by its first byte.
std::vector<std::uint8_t> emptyCandidate(const CWQEDoc& doc) {
    auto rec = defaultCopyRecord(doc.model(), cardName(doc), 0);
    rec[0] = 0;
    return rec;
}

// Step: the memo line of the source number from the folder's memo file.
void readSourceMemo(CopySource& src, const CWQEDoc& doc, Prompter& prompter) {
    std::error_code ec;
    const fs::path memoPath = findCardFile(src.path.parent_path(), kMemoFileName);
    if (!fs::exists(memoPath, ec) || src.sourceNumber < 1 || src.sourceNumber > kMemoSlots) return;
    CWQEMemo memo;
    memo.setModel(doc.model());
    if (memo.read(memoPath.string()).empty())
        src.memo = memo.phraseMemo(src.sourceNumber - 1);
    else
        prompter.message(kMsgMemoFile, Icon::Exclamation);
}

// Step: record `sourceNumber` of the folder's phrase settings file of the
// card's model, for a "_WQP" file; nullopt when there is none.
std::optional<std::vector<std::uint8_t>> readFolderRecord(const CopySource& src, Model m) {
    std::error_code ec;
    const fs::path settings = findCardFile(src.path.parent_path(), phraseFileName(m));
    if (!fs::exists(settings, ec) ||
        !upperAscii(src.path.filename().string()).starts_with("_WQP") || src.sourceNumber < 1 ||
        src.sourceNumber > highestPhraseCount(m))
        return std::nullopt;
    const std::size_t size = phraseRecordSize(m);
    std::vector<std::uint8_t> rec(size);
    std::ifstream in(settings, std::ios::binary);
    in.seekg(static_cast<std::streamoff>((src.sourceNumber - 1) * size));
    in.read(reinterpret_cast<char*>(rec.data()), static_cast<std::streamsize>(size));
    if (!in) return std::nullopt;
    return rec;
}

// Step: a pattern or song file must hold its whole layout (its own reader
// refuses one cut short); `layoutModel` is the model whose layout it has.
void checkPatternLayout(CopySource& src, Model layoutModel) {
    const auto read = readPatternFile(src.path, layoutModel);
    if (!read.data)
        src.problem =
            std::string(src.kind == SourceKind::Song ? kMsgSongFileWrong : kMsgPatternFileWrong) +
            " (" + read.error + ")";
}

// Step: what a ".PHR" file holds.
void classifyPhr(CopySource& src, Model m) {
    src.extension = "PHR";
    const std::string file = src.path.string();
    const auto start = readPhrFileStart(src.path);
    if (!start) {
        src.problem = file + ": shorter than a phrase file header (16 bytes).";
        return;
    }
    switch (start->content()) {
        case PhrContent::Kpac: {
            const kpac::RawHeader raw = start->kpacHeader();
            const auto header = kpac::validateHeader(raw);
            const bool fits = header && kpacPlayableOn(raw, m);
            src.kind = fits ? SourceKind::Audio : SourceKind::BadAudio;
            if (!header)
                src.problem = inFile(header.error(), src.path).message();
            else if (!fits)
                src.problem = file + ": a " + std::string(modelName(m)) +
                              " card cannot play this grade or mode.";
            return;
        }
        case PhrContent::Pattern5000:
            src.kind = SourceKind::Pattern5000;
            return checkPatternLayout(src, Model::WQ5000);
        case PhrContent::Pattern7000:
            src.kind = SourceKind::Pattern7000;
            return checkPatternLayout(src, Model::WQ7000);
        case PhrContent::Song:
            src.kind = SourceKind::Song;
            return checkPatternLayout(src, Model::WQ7000);
        case PhrContent::Unknown:
            src.problem = file + ": not an audio, pattern or song phrase file.";
            return;
    }
}

// Step: a ".MID" file reads as a standard MIDI file or not.
void classifyMid(CopySource& src) {
    src.extension = "MID";
    std::string error;
    src.kind = probeMidiFile(src.path, &error) ? SourceKind::Midi : SourceKind::BadMidi;
    if (src.kind == SourceKind::BadMidi) src.problem = error;
}

// Step: a ".WAV" file is one a WQ-7000 phrase can be stored as.
void classifyWav(CopySource& src, Model m) {
    src.extension = "WAV";
    const std::string file = src.path.string();
    if (m == Model::WQ5000) {
        src.problem = file + ": a WQ-5000 card does not play WAV phrases.";
    } else if (auto info = probeWavPhrase(src.path); !info) {
        src.problem = info.error().message();
    } else if (!wavPhraseFormat(*info)) {
        src.problem = file + ": the sample data starts beyond offset " +
                      std::to_string(kMaxWavDataOffset) + ".";
    } else {
        src.kind = SourceKind::Audio;
    }
}

}  // namespace

void storeCopiedRecord(CWQEDoc& doc, int slot, const std::vector<std::uint8_t>& record,
                       const std::string& memo) {
    // Field by field, the name included; bytes no field names stay as they are.
    CWQEPhr one;
    one.setModel(doc.model());
    std::vector<std::uint8_t> bytes = record;
    one.attach(bytes);
    doc.edit(kEditCopyPhrase, [&] {
        for (const PhraseFieldInfo& info : phraseFields()) {
            if (!info.exists(doc.model())) continue;
            const auto f = static_cast<PhraseField>(&info - phraseFields().data());
            doc.phr().set(slot, f, one.get(0, f));
        }
        doc.phr().setName(slot, one.getName(0));
        doc.memo().setPhraseMemo(slot, memo);
    });
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
    // WQ-5000: the erased record. WQ-7000: the format of a phrase without
    // audio of its own, volume 100 and the registered tempo bytes.
    auto prm = CPhrasePrm::create(m);
    CWQEPhr p = prm->fields();
    if (m == Model::WQ7000) {
        p.setGrade(0, kGradeNoAudio);
        p.setMode(0, kModeNoAudio);
        p.setRecordingType(0, kRecordingTypeNoAudio);
        p.setTempo(0, kTempoByteRegistered);
        p.setTempo2(0, kTempoByteRegistered);
    }
    p.setName(0, defaultPhraseName(name, slot, m));
    return {prm->bytes().begin(), prm->bytes().end()};
}

CopySource evaluateSource(const fs::path& file, const CWQEDoc& doc, Prompter& prompter) {
    CopySource src;
    src.path = file;
    const Model m = doc.model();
    const std::string name = file.filename().string();
    src.sourceNumber = name.size() > 4 ? leadingNumber(std::string_view(name).substr(4)) : 0;

    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        src.problem = file.string() + ": no such file.";
        return src;
    }
    readSourceMemo(src, doc, prompter);
    const auto folderRecord = readFolderRecord(src, m);
    src.candidate = folderRecord ? *folderRecord : emptyCandidate(doc);

    const std::string ext = upperExtension(file);
    if (ext == "PHR")
        classifyPhr(src, m);
    else if (ext == "MID")
        classifyMid(src);
    else if (ext == "WAV")
        classifyWav(src, m);
    else
        src.problem = file.string() + ": not a .PHR, .MID or .WAV file.";

    if (src.problem.empty() && !modelStores(m, src.kind))
        src.problem = file.string() + ": a " + std::string(modelName(m)) +
                      " card cannot hold a phrase of this layout.";
    if (folderRecord && !candidateMatches(m, src.candidate, src.kind, src.extension))
        src.candidate = emptyCandidate(doc);
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
    // The same record registration makes from the card's own data file,
    // except that a MODE2 phrase keeps its end point at 0.
    auto prm = CPhrasePrm::create(m);
    const std::string prefix = cardName(doc);
    bool built = false;
    if (source.extension == "WAV") {
        built = prm->registerWav(source.path, slot, prefix);
    } else if (source.kind == SourceKind::Midi) {
        if (const auto midi = probeMidiFile(source.path, &error)) {
            prm->fillFromMidi(*midi, slot, prefix);
            built = true;
        }
    } else if (const auto start = readPhrFileStart(source.path)) {
        built = prm->fillFromPhr(*start, slot, prefix, Mode2EndPoint::Untouched);
    }
    if (!built) {
        if (error.empty())
            error = source.path.string() + ": the file can no longer be read as it was.";
        return false;
    }
    record.assign(prm->bytes().begin(), prm->bytes().end());
    return true;
}

CopyResult copyPhrase(CWQEDoc& doc, const CopySource& source, int slot, Prompter& prompter,
                      FileSystem& fsys) {
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
    bool copied;
    if (sameFolder(source.path, result.destination)) {
        copied = true;  // the file already lies where the slot needs it
    } else {
        // Written beside the slot's name and renamed over it when complete,
        // so a failed copy leaves no partial data file.
        const auto bytes = readWholeFile(source.path);
        Status written =
            bytes ? writeFileAtomic(fsys, result.destination, *bytes) : Status(bytes.error());
        copied = bool(written);
        if (!copied)
            result.error =
                "could not copy " + source.path.string() + ": " + written.error().message();
    }
    if (!copied) {
        result.status = CopyResult::Status::CopyFailed;
        prompter.message(kMsgCopyFailed, Icon::Exclamation);
        return result;
    }
    prompter.message(kMsgCopySucceeded, Icon::Information);

    storeCopiedRecord(doc, slot, record, source.memo);
    result.status = CopyResult::Status::Copied;
    result.nextSlot = nextEmptySlot(doc, slot, true);
    return result;
}

}  // namespace wqe

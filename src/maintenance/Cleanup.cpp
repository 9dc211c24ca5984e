#include "maintenance/Cleanup.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <unordered_map>

#include "base/FileSystem.h"
#include "card/FileIO.h"
#include "card/PhrasePrm.h"

namespace wqe {

namespace {

constexpr const char* kDataExtensions[] = {"PHR", "MID", "WAV"};

// The first `count` bytes of a file; nullopt when it cannot be opened or is shorter.
std::optional<std::vector<std::uint8_t>> readExactly(const fs::path& path, std::size_t count) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::vector<std::uint8_t> bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    if (static_cast<std::size_t>(in.gcount()) != count) return std::nullopt;
    return bytes;
}

// The phrase settings file with its first `table.size()` bytes replaced by
// the table; bytes beyond the table stay. "" on success, else the error.
std::string writeTable(FileSystem& fsys, const fs::path& path,
                       const std::vector<std::uint8_t>& table) {
    auto bytes = readWholeFile(path);
    if (!bytes) return bytes.error().message();
    if (bytes->size() < table.size()) bytes->resize(table.size());
    std::copy(table.begin(), table.end(), bytes->begin());
    if (Status s = writeFileAtomic(fsys, path, *bytes); !s) return s.error().message();
    return {};
}

bool sameName(const fs::path& a, const fs::path& b) {
    return upperAscii(a.filename().string()) == upperAscii(b.filename().string());
}

// The files of the card folder by upper-cased name, listed once: the card's
// file system ignores letter case, and a lookup per name and slot would list
// the folder thousands of times.
class FolderIndex {
public:
    explicit FolderIndex(const fs::path& folder) : folder_(folder) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code typeEc;
            if (!it->is_directory(typeEc))
                files_.emplace(upperAscii(it->path().filename().string()), it->path());
        }
    }
    // The file of that name (letter case ignored); empty when there is none.
    fs::path find(const std::string& name) const {
        const auto it = files_.find(upperAscii(name));
        return it == files_.end() ? fs::path() : it->second;
    }
    void forget(const fs::path& file) { files_.erase(upperAscii(file.filename().string())); }

private:
    fs::path folder_;
    std::unordered_map<std::string, fs::path> files_;
};

// The forms a record can be retyped to, in the order the validation tries them.
enum class PhraseForm { AudioKpac, AudioWav, Midi };

// One slot's record with the operations of the slot procedure.
class SlotProbe {
public:
    SlotProbe(Model m, std::span<const std::uint8_t> record, const FolderIndex& folder, int index,
              std::string namePrefix, FileSystem& fsys)
        : fsys_(fsys),
          prm_(CPhrasePrm::create(m)),
          folder_(folder),
          index_(index),
          prefix_(std::move(namePrefix)) {
        std::copy(record.begin(), record.end(), prm_->bytes().begin());
    }

    // The registered data file as it lies in the folder (letter case found
    // on disk); empty for an empty record.
    fs::path registeredFile() const {
        const std::string name = prm_->dataFileName("", index_);
        return name.empty() ? fs::path() : folder_.find(name);
    }

    // The registered file exists and is of the record's kind: refresh the
    // fields taken from it.
    bool refresh() {
        const fs::path f = registeredFile();
        if (!exists(f)) return false;
        const std::string ext = upperExtension(f);
        if (ext == "PHR") return prm_->checkPhr(f);
        if (ext == "MID") return prm_->checkMid(f);
        if (ext == "WAV") return prm_->checkWav(f);
        return false;
    }

    // The registered file exists: fill the record anew from it.
    bool registerFromFile() {
        const fs::path f = registeredFile();
        if (!exists(f)) return false;
        const std::string ext = upperExtension(f);
        if (ext == "PHR") return prm_->registerPhr(f, index_, prefix_, fsys_);
        if (ext == "MID") return prm_->registerMid(f, index_, prefix_);
        if (ext == "WAV") return prm_->registerWav(f, index_, prefix_);
        return false;
    }

    std::vector<PhraseForm> retypeOrder() const {
        if (prm_->model() == Model::WQ5000) return {PhraseForm::AudioKpac, PhraseForm::Midi};
        return {PhraseForm::AudioKpac, PhraseForm::AudioWav, PhraseForm::Midi};
    }

    // Makes the record of the form; a record already of it stays as it is.
    // A WQ-5000 pattern counts as audio (both use ".PHR").
    void retype(PhraseForm form) {
        CWQEPhr p = prm_->fields();
        if (prm_->model() == Model::WQ5000) {
            const bool used = p.getUsed(0) == 1, midi = p.getMidiFlag(0) == 1;
            if (used && midi == (form == PhraseForm::Midi)) return;
            prm_->clear();
            p.setUsed(0, 1);
            p.setMidiFlag(0, form == PhraseForm::Midi ? 1 : 0);
            return;
        }
        const std::uint32_t type = p.getType(0), mode = p.getMode(0);
        switch (form) {
            case PhraseForm::AudioKpac:
                if (type == kTypeAudio && mode != kModeWav) return;
                prm_->clear();
                p.setType(0, kTypeAudio);
                return;
            case PhraseForm::AudioWav:
                if (type == kTypeAudio && mode == kModeWav) return;
                prm_->clear();
                p.setType(0, kTypeAudio);
                p.setMode(0, kModeWav);
                return;
            case PhraseForm::Midi:
                if (type == kTypeMidi) return;
                prm_->clear();
                p.setType(0, kTypeMidi);
                return;
        }
    }

    void reset() { prm_->clear(); }
    std::span<const std::uint8_t> record() const {
        return static_cast<const CPhrasePrm&>(*prm_).bytes();
    }

private:
    static bool exists(const fs::path& f) {
        std::error_code ec;
        return !f.empty() && fs::is_regular_file(f, ec);
    }

    FileSystem& fsys_;  // the conversion of a WQ-5000 pattern file writes through it
    std::unique_ptr<CPhrasePrm> prm_;
    const FolderIndex& folder_;
    int index_;
    std::string prefix_;
};

// Why a data file cannot be read ("" when its first bytes can): open and
// read errors such as a denied permission or a loop of symbolic links. Such
// a file says nothing about the registration, so it is never treated as a
// wrong or missing one.
std::string unreadableReason(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::generic_category().message(errno);
    char first[16];
    errno = 0;
    in.read(first, sizeof first);
    if (in.bad() || (in.fail() && !in.eof()))
        return std::generic_category().message(errno ? errno : EIO);
    return {};
}

// Validates the record of one slot, stopping at the first step that succeeds.
CleanupAction validate(SlotProbe& probe) {
    if (probe.refresh()) return CleanupAction::Refreshed;
    if (probe.registerFromFile()) return CleanupAction::Registered;
    for (const PhraseForm form : probe.retypeOrder()) {
        probe.retype(form);
        if (probe.registerFromFile()) return CleanupAction::Registered;
    }
    probe.reset();
    return CleanupAction::Reset;
}

}  // namespace

std::string cleanupActionText(CleanupAction action) {
    switch (action) {
        case CleanupAction::Unchanged:
            return "unchanged";
        case CleanupAction::Refreshed:
            return "refreshed from its data file";
        case CleanupAction::Registered:
            return "registered from its data file";
        case CleanupAction::Reset:
            return "registration dropped (no readable data file)";
        case CleanupAction::Cleared:
            return "empty slot reset to the erased record";
        case CleanupAction::Unreadable:
            return "kept as it is: a data file cannot be read";
    }
    return {};
}

std::string cleanupQuestion(const std::string& registeredFile, const std::string& candidate) {
    if (registeredFile.empty())
        return std::string(kMsgRegistrationOfPhrase) + " " + candidate + " " + kMsgIsWrong + "\n" +
               kMsgOkToEraseRegistration;
    return std::string(kMsgPhraseDoubleRegistration) + " " + candidate + " " + kMsgHasOccurred +
           "\n" + kMsgOkToErase;
}

bool CleanupResult::ok() const {
    if (status != Status::Finished) return false;
    return std::all_of(reports.begin(), reports.end(),
                       [](const CleanupSlot& s) { return s.errors.empty(); });
}

CleanupCard findCleanupCard(const fs::path& folder) {
    CleanupCard card;
    std::error_code ec;
    const fs::path sys5 = findCardFile(folder, kSystemFileName5000);
    const fs::path sys7 = findCardFile(folder, kSystemFileName7000);
    const bool has5 = fs::exists(sys5, ec), has7 = fs::exists(sys7, ec);
    if (has5 && has7) {
        card.bothSystemFiles = true;
        card.stopMessage = kMsgDoubleSystemFile;
        card.detail = sys7.string() + ", " + sys5.string();
    } else if (!has5 && !has7) {
        card.stopMessage = kMsgPhraseFileUnreadable;
        card.detail = folder.string() + ": no " + std::string(kSystemFileName7000) + " or " +
                      std::string(kSystemFileName5000);
    } else {
        card.model = has7 ? Model::WQ7000 : Model::WQ5000;
        card.systemFile = has7 ? sys7 : sys5;
    }
    return card;
}

namespace {

// What one run works on: the card's tables as read from the folder.
struct CleanupTables {
    Model model = Model::WQ7000;
    int slots = 0;
    std::string namePrefix;  // the card name
    fs::path phraseFile;
    std::vector<std::uint8_t> table;  // slots x record size bytes
    std::size_t recordSize = 0;
};

// Reads the system settings (phrase count, card name) and the phrase table.
std::optional<CleanupStop> readTables(const fs::path& folder, CleanupTables& t) {
    const CleanupCard card = findCleanupCard(folder);
    if (!card.model) return CleanupStop{card.stopMessage, card.detail};
    const Model m = *card.model;
    auto sysBytes = readExactly(card.systemFile, systemFileSize(m));
    if (!sysBytes)
        return CleanupStop{kMsgPhraseFileUnreadable,
                           card.systemFile.string() + ": cannot be read or is shorter than " +
                               std::to_string(systemFileSize(m)) + " bytes"};
    CWQESys sys;
    sys.setModel(m);
    sys.attach(*sysBytes);
    t.model = m;
    t.slots = phraseCountForModel(sys.getPhraseCountCode(), m);
    t.namePrefix = sys.getCardName();
    t.recordSize = phraseRecordSize(m);
    t.phraseFile = findCardFile(folder, phraseFileName(m));
    auto table = readExactly(t.phraseFile, static_cast<std::size_t>(t.slots) * t.recordSize);
    if (!table)
        return CleanupStop{kMsgPhraseFileUnreadable, t.phraseFile.string() +
                                                         ": cannot be read or holds fewer than " +
                                                         std::to_string(t.slots) + " records of " +
                                                         std::to_string(t.recordSize) + " bytes"};
    t.table = std::move(*table);
    return std::nullopt;
}

// The slot's data files that cannot be read, one line each naming file and cause.
std::vector<std::string> unreadableFiles(const FolderIndex& index, int slot) {
    std::vector<std::string> lines;
    for (const char* ext : kDataExtensions) {
        const fs::path f = index.find(phraseDataFileName("", slot, ext));
        if (f.empty()) continue;
        if (std::string why = unreadableReason(f); !why.empty())
            lines.push_back(f.string() + ": cannot be read (" + why +
                            "); the file and its registration were kept");
    }
    return lines;
}

// Asks about every further data file of the slot and deletes those the user gives up.
void askAboutFurtherFiles(CleanupSlot& slot, FolderIndex& index, const std::string& prefix,
                          Prompter& prompter, FileSystem& fsys) {
    for (const char* ext : kDataExtensions) {
        const fs::path candidate = index.find(phraseDataFileName("", slot.index, ext));
        if (candidate.empty()) continue;
        if (!slot.dataFile.empty() && sameName(candidate, slot.dataFile)) continue;
        const std::string question =
            cleanupQuestion(slot.dataFile.string(), prefix + candidate.filename().string());
        if (prompter.ask(question, Buttons::YesNo, Icon::Question) != Answer::Yes) {
            slot.keptFiles.push_back(candidate);
            continue;
        }
        if (Status s = fsys.remove(candidate); s) {
            slot.deletedFiles.push_back(candidate);
            index.forget(candidate);
        } else {
            slot.errors.push_back("could not delete " + s.error().message());
        }
    }
}

// The slot procedure: validates record `i` of the table against the folder,
// asks about further files and stores a changed record. True when it changed.
bool cleanSlot(CleanupTables& t, int i, FolderIndex& index, const std::string& prefix,
               Prompter& prompter, FileSystem& fsys, CleanupSlot& slot) {
    slot.index = i;
    slot.errors = unreadableFiles(index, i);
    if (!slot.errors.empty()) {
        slot.action = CleanupAction::Unreadable;
        return false;
    }
    const auto recordBegin = t.table.begin() + static_cast<std::ptrdiff_t>(i * t.recordSize);
    const std::vector<std::uint8_t> before(recordBegin,
                                           recordBegin + static_cast<std::ptrdiff_t>(t.recordSize));
    SlotProbe probe(t.model, before, index, i, t.namePrefix, fsys);
    slot.action = validate(probe);
    slot.dataFile = probe.registeredFile();
    askAboutFurtherFiles(slot, index, prefix, prompter, fsys);

    const auto after = probe.record();
    if (std::equal(after.begin(), after.end(), before.begin())) {
        slot.action = CleanupAction::Unchanged;
        return false;
    }
    std::copy(after.begin(), after.end(), recordBegin);
    // A slot that was empty had no registration to drop.
    if (slot.action == CleanupAction::Reset && before[0] == 0) slot.action = CleanupAction::Cleared;
    return true;
}

bool worthReporting(const CleanupSlot& s) {
    return s.action != CleanupAction::Unchanged || !s.deletedFiles.empty() ||
           !s.keptFiles.empty() || !s.errors.empty();
}

// Asks to save unsaved edits first; false when the run must not go on.
bool saveEditsFirst(CWQEDoc& doc, Prompter& prompter, CleanupResult& result) {
    if (!doc.isModified()) return true;
    if (prompter.ask(kMsgCleanupSaveFirst, Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
        result.status = CleanupResult::Status::Cancelled;
        return false;
    }
    // Going on after a failed save would reload the card over the edits.
    if (!doc.onSaveCardInfo()) {
        result.status = CleanupResult::Status::Stopped;
        result.error = "the edits could not be saved; nothing was cleaned up";
        return false;
    }
    return true;
}

// One message for every file that could not be read, so that none goes unseen.
void tellUnreadable(const CleanupResult& result, Prompter& prompter) {
    std::string text;
    for (const CleanupSlot& s : result.reports)
        if (s.action == CleanupAction::Unreadable)
            for (const std::string& e : s.errors) text += (text.empty() ? "" : "\n") + e;
    if (!text.empty()) prompter.message(text, Icon::Exclamation);
}

}  // namespace

std::optional<CleanupStop> cleanupStopFor(const fs::path& folder) {
    CleanupTables tables;
    return readTables(folder, tables);
}

CleanupResult runCleanup(CWQEDoc& doc, Prompter& prompter, const CleanupProgress& progress,
                         FileSystem& fsys) {
    CleanupResult result;
    auto status = [&](const std::string& text) {
        if (progress.status) progress.status(text);
    };
    status(kMsgCleanupInProgress);
    if (!doc.isLoaded()) {
        result.error = "no card is open";
        return result;
    }
    const fs::path folder = fs::path(doc.systemPath()).parent_path();
    if (!saveEditsFirst(doc, prompter, result)) {
        status("");
        return result;
    }
    CleanupTables tables;
    if (const auto stop = readTables(folder, tables)) {
        prompter.message(stop->message, Icon::Exclamation);
        result.status = CleanupResult::Status::Stopped;
        result.error = stop->detail;
        status("");
        return result;
    }
    result.model = tables.model;
    result.slotCount = tables.slots;

    FolderIndex index(folder);
    bool anyChanged = false;
    const std::string prefix = (folder / "").string();
    for (int i = 0; i < tables.slots; ++i) {
        if (progress.step) progress.step(i, tables.slots);
        CleanupSlot slot;
        anyChanged = cleanSlot(tables, i, index, prefix, prompter, fsys, slot) || anyChanged;
        if (worthReporting(slot)) result.reports.push_back(std::move(slot));
    }

    result.status = CleanupResult::Status::Finished;
    if (anyChanged) {
        status(kMsgCleanupWriting);
        if (std::string error = writeTable(fsys, tables.phraseFile, tables.table); error.empty()) {
            result.written = true;
        } else {
            prompter.message(kMsgCleanupWriteFailed, Icon::Exclamation);
            result.status = CleanupResult::Status::WriteFailed;
            result.error = error;
        }
        status(kMsgCleanupRedisplaying);
    }
    if (progress.step) progress.step(tables.slots, tables.slots);
    status("");
    tellUnreadable(result, prompter);
    prompter.message(kMsgCleanupFinished, Icon::Information);
    result.reloaded = doc.reload();
    return result;
}

}  // namespace wqe

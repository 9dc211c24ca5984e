#include "maintenance/PhraseDrop.h"

#include <cstdio>

#include "card/FileIO.h"
#include "card/PhrasePrm.h"
#include "convert/FileConvert.h"
#include "convert/WavImport.h"
#include "maintenance/PhraseCopy.h"

namespace wqe {

namespace {

// The row's number as the phrase list shows it.
std::string rowText(Model m, int slot) {
    char number[16];
    std::snprintf(number, sizeof number, m == Model::WQ5000 ? "%03d" : "%04d", slot + 1);
    return number;
}

// A data file of an empty slot already on the card (a stray file the
// cleanup would ask about): a drop must not overwrite or delete it.
fs::path strayDataFile(const CWQEDoc& doc, int slot) {
    const fs::path folder = fs::path(doc.systemPath()).parent_path();
    for (const char* ext : {"PHR", "MID", "WAV"}) {
        const fs::path file = findCardFile(folder, phraseDataFileName("", slot, ext));
        std::error_code ec;
        if (fs::exists(file, ec)) return file;
    }
    return {};
}

// Step: the ".WAV" file becomes the slot's WAV phrase data file, and its
// record is registered from that file as the cleanup would register it.
std::string importWav(CWQEDoc& doc, const DropItem& item, FileSystem& fsys) {
    const fs::path folder = fs::path(doc.systemPath()).parent_path();
    const fs::path target = findCardFile(folder, phraseDataFileName("", item.slot, "WAV"));
    const WavImportResult imported = importWavFile(item.file, target, nullptr, nullptr, fsys);
    if (!imported.ok) return imported.error;
    auto prm = CPhrasePrm::create(doc.model());
    if (!prm->registerWav(target, item.slot, doc.sys().getCardName())) {
        // The imported file is not one a record can describe: take it away
        // again so that no data file lies on the card without a record.
        std::error_code ec;
        fs::remove(target, ec);
        return target.string() + ": the imported file cannot be registered as a phrase.";
    }
    storeCopiedRecord(doc, item.slot, {prm->bytes().begin(), prm->bytes().end()}, "");
    return {};
}

// Step: ".PHR" and ".MID" files go through Phrase Copy; its own messages
// are not shown per file (the drop reports once).
std::string copyFile(CWQEDoc& doc, const DropItem& item, FileSystem& fsys) {
    ScriptedPrompter quiet;
    const CopySource source = evaluateSource(item.file, doc, quiet);
    const CopyResult copied = copyPhrase(doc, source, item.slot, quiet, fsys);
    if (copied.status == CopyResult::Status::Copied) return {};
    return copied.error.empty() ? item.file.string() + ": could not be copied." : copied.error;
}

}  // namespace

DropPlan planPhraseDrop(const CWQEDoc& doc, int row, const std::vector<fs::path>& files) {
    DropPlan plan;
    const Model m = doc.model();
    const int slots = copySlotCount(doc);
    if (!doc.isLoaded() || files.empty()) {
        plan.refusal = "No card is open.";
        if (doc.isLoaded()) plan.refusal = "No file was dropped.";
        return plan;
    }
    if (row < 0 || row >= slots) {
        plan.refusal = "Row " + std::to_string(row + 1) + " is not a phrase slot of the card.";
        return plan;
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
        const int slot = row + static_cast<int>(k);
        const fs::path& file = files[k];
        const std::string ext = upperExtension(file);
        DropItem item{file, slot, DropAction::CopyFile};
        if (ext == "WAV" && m == Model::WQ7000) {
            item.action = DropAction::ImportWav;
        } else if (ext == "WAV") {
            plan.refusal = file.string() + ": a WQ-5000 card does not play WAV phrases.";
        } else if (ext != "PHR" && ext != "MID") {
            plan.refusal = file.string() + ": not a .WAV, .PHR or .MID file.";
        }
        if (plan.refusal.empty() && slot >= slots)
            plan.refusal = std::to_string(files.size()) + " files need " +
                           std::to_string(files.size()) + " rows from " + rowText(m, row) +
                           "; the card ends at " + rowText(m, slots - 1) + ".";
        if (plan.refusal.empty() && doc.phr().isUsed(slot))
            plan.refusal =
                "Phrase " + rowText(m, slot) + " is in use; a drop never replaces a phrase.";
        if (plan.refusal.empty())
            if (const fs::path stray = strayDataFile(doc, slot); !stray.empty())
                plan.refusal = "Phrase " + rowText(m, slot) + " is empty but " + stray.string() +
                               " lies in the card folder; Cleanup registers or removes it.";
        if (!plan.refusal.empty()) {
            plan.items.clear();
            return plan;
        }
        plan.items.push_back(std::move(item));
    }
    return plan;
}

DropResult dropPhraseFiles(CWQEDoc& doc, int row, const std::vector<fs::path>& files,
                           Prompter& prompter, const DropProgressFn& progress, FileSystem& fsys) {
    DropResult result;
    const DropPlan plan = planPhraseDrop(doc, row, files);
    if (!plan.ok()) {
        result.refusal = plan.refusal;
        prompter.report(pick(doc.language(), kMsgDropRefused, kMsgDropRefusedJa),
                        Error{ErrorKind::Unsupported, "", plan.refusal});
        return result;
    }
    const Language lang = doc.language();
    const int total = static_cast<int>(plan.items.size());
    bool allWav = true;
    for (int k = 0; k < total; ++k) {
        if (progress) progress(k, total);
        const DropItem& item = plan.items[static_cast<std::size_t>(k)];
        const bool wav = item.action == DropAction::ImportWav;
        allWav = allWav && wav;
        const std::string error = wav ? importWav(doc, item, fsys) : copyFile(doc, item, fsys);
        if (error.empty()) {
            result.registered.push_back(item.slot);
        } else {
            // Each failure with the message of the operation that failed.
            result.errors.push_back(error);
            prompter.report(
                wav ? pick(lang, kMsgConvertFailed, kMsgConvertFailedJa) : kMsgCopyFailed,
                Error{ErrorKind::Other, "", error});
        }
    }
    if (progress) progress(total, total);
    // A whole success ends as WAV Import or Phrase Copy ends.
    if (result.errors.empty())
        prompter.message(allWav ? convertEndMessage(total, true, false, lang) : kMsgCopySucceeded,
                         Icon::Information);
    return result;
}

std::vector<fs::path> phraseDataFilesOf(const CWQEDoc& doc, const std::vector<int>& rows) {
    std::vector<fs::path> files;
    if (!doc.isLoaded()) return files;
    const fs::path folder = fs::path(doc.systemPath()).parent_path();
    for (int i : rows) {
        if (i < 0 || i >= doc.phr().recordCount() || !doc.phr().isUsed(i)) continue;
        const fs::path file =
            findCardFile(folder, phraseDataFileName("", i, doc.phr().dataFileExtension(i)));
        std::error_code ec;
        if (fs::is_regular_file(file, ec)) files.push_back(file);
    }
    return files;
}

}  // namespace wqe

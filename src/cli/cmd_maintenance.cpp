// wqe backup / restore / delete / copy / import / cleanup: card maintenance
// from a script. Questions are answered by --yes / --no or at a terminal.
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iostream>

#include "card/FileIO.h"
#include "cli/Cli.h"
#include "convert/FileConvert.h"
#include "convert/WavImport.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/Cleanup.h"
#include "maintenance/PhraseCopy.h"
#include "maintenance/PhraseDelete.h"

namespace wqe::cli {

namespace {

namespace fs = std::filesystem;

// Questions go to the terminal prompter; information messages (the
// operations' own result texts) to stdout, warnings to stderr.
class CommandPrompter : public Prompter {
public:
    explicit CommandPrompter(TerminalPrompter& questions) : questions_(questions) {}
    Answer ask(const std::string& text, Buttons buttons, Icon icon) override {
        return questions_.ask(text, buttons, icon);
    }
    void message(const std::string& text, Icon icon) override {
        (icon == Icon::Information ? std::cout : std::cerr) << text << '\n';
    }

private:
    TerminalPrompter& questions_;
};

// The card folder of CARD (a folder or the path of its system settings file).
fs::path cardFolderOf(const std::string& card) {
    std::error_code ec;
    const fs::path p(card);
    if (fs::is_directory(p, ec)) return p;
    if (modelFromFileName(upperAscii(p.filename().string()))) return p.parent_path();
    return p;
}

bool hasCard(const fs::path& folder) {
    std::error_code ec;
    return fs::exists(findCardFile(folder, kSystemFileName7000), ec) ||
           fs::exists(findCardFile(folder, kSystemFileName5000), ec);
}

// Cleanup may ask many questions: refuse before touching anything when
// they can be answered neither by --yes / --no nor at a terminal.
void requireAnswers(const Args& args) {
    if (TerminalPrompter::policyFrom(args) == TerminalPrompter::Policy::Ask &&
        !isatty(STDIN_FILENO))
        throw Failure(
            "cleanup asks about stray data files and there is no terminal; use --yes or --no");
}

// Phrase number N of the open card -> index.
int phraseIndex(const CWQEDoc& doc, const std::string& text, const std::string& what) {
    const int count = copySlotCount(doc);
    try {
        return parseInt(text, what, 1, count) - 1;
    } catch (const UsageError&) {
        throw Failure(what + ": '" + text + "' is not a phrase number of this card (1.." +
                      std::to_string(count) + ")");
    }
}

// A file that reaches the process's size limit must fail with "File too
// large" and be reported, not end the program half-way through a card.
void reportFileSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

int runTransferCommand(const std::vector<std::string>& argv, TransferMode mode) {
    reportFileSizeLimit();
    Args args(argv, {"--yes", "--no"}, {});
    args.expectPositional(2, 2);
    const std::string source = args.positional()[0], destination = args.positional()[1];
    TerminalPrompter terminal(TerminalPrompter::policyFrom(args));
    CommandPrompter prompter(terminal);
    MemorySettings settings;
    // The card of the command: the source of a backup, the destination of a
    // restore. A restore may go into a folder that holds no card yet.
    CWQEDoc doc(prompter, settings);
    const fs::path src = mode == TransferMode::Backup ? cardFolderOf(source) : fs::path(source);
    const fs::path dst =
        mode == TransferMode::Restore ? cardFolderOf(destination) : fs::path(destination);
    if (mode == TransferMode::Restore && hasCard(dst)) doc.openCard(dst.string());

    const TransferResult r = runTransfer(mode, src.string(), dst.string(), &doc, prompter);
    switch (r.status) {
        case TransferResult::Status::Declined:
            std::cout << "Nothing was deleted or copied.\n";
            return kExitOk;
        case TransferResult::Status::Refused:
        case TransferResult::Status::Failed:
            return kExitFailure;
        case TransferResult::Status::Done:
            break;
    }
    std::cout << "Deleted " << r.deleted.size() << " device file(s) in " << dst.string()
              << "; copied " << r.filesCopied << " file(s) and created " << r.foldersCreated
              << " folder(s) from " << src.string() << ".\n";
    return kExitOk;
}

int cmdBackup(const std::vector<std::string>& argv) {
    return runTransferCommand(argv, TransferMode::Backup);
}
int cmdRestore(const std::vector<std::string>& argv) {
    return runTransferCommand(argv, TransferMode::Restore);
}

int cmdDelete(const std::vector<std::string>& argv) {
    Args args(argv, {"--yes", "--no"}, {});
    args.expectPositional(2, 2);
    OpenCard card(args.positional()[0], TerminalPrompter::policyFrom(args));
    CommandPrompter prompter(card.prompter);
    const int index = phraseIndex(card.doc, args.positional()[1], "N");
    if (!card.doc.phr().isUsed(index))
        throw Failure("phrase " + args.positional()[1] + " is empty; nothing to delete");
    const PhraseDeleteResult r = deletePhrase(card.doc, index, prompter);
    switch (r.status) {
        case PhraseDeleteResult::Status::Declined:
            std::cout << "Nothing was deleted.\n";
            return kExitOk;
        case PhraseDeleteResult::Status::Deleted:
            break;
        default:
            return kExitFailure;
    }
    if (!card.doc.onSaveCardInfo()) throw Failure("the erased record could not be saved");
    std::cout << "Erased phrase " << index + 1 << "; "
              << (r.fileRemoved
                      ? "deleted " + r.dataFile.filename().string()
                      : "its data file " + r.dataFile.filename().string() + " was already gone")
              << ".\n";
    return kExitOk;
}

int cmdCopy(const std::vector<std::string>& argv) {
    reportFileSizeLimit();
    Args args(argv, {}, {"--to"});
    args.expectPositional(2, 2);
    const auto to = args.option("--to");
    if (!to) throw UsageError("--to N is needed");
    OpenCard card(args.positional()[1]);
    CommandPrompter prompter(card.prompter);
    const int slot = phraseIndex(card.doc, *to, "--to");
    if (card.doc.phr().isUsed(slot)) throw Failure("phrase " + *to + " is not empty");
    const CopySource source = evaluateSource(args.positional()[0], card.doc, prompter);
    if (!source.usable()) throw Failure(source.problem);
    const CopyResult r = copyPhrase(card.doc, source, slot, prompter);
    if (r.status != CopyResult::Status::Copied) {
        if (!r.error.empty()) std::cerr << r.error << '\n';
        return kExitFailure;
    }
    if (!card.doc.onSaveCardInfo()) throw Failure("the copied record could not be saved");
    std::cout << "Phrase " << slot + 1 << ": " << r.destination.filename().string() << " ("
              << (source.candidateEmpty() ? "record built from the file"
                                          : "record from the source folder's phrase settings")
              << ")\n";
    return kExitOk;
}

// Prints what cleanup did per slot.
void printCleanup(const CleanupResult& r) {
    for (const CleanupSlot& s : r.reports) {
        std::cout << "phrase " << s.index + 1 << ": " << cleanupActionText(s.action);
        for (const auto& f : s.deletedFiles) std::cout << "; deleted " << f.filename().string();
        for (const auto& f : s.keptFiles) std::cout << "; kept " << f.filename().string();
        for (const auto& e : s.errors) std::cout << "; " << e;
        std::cout << '\n';
    }
}

int cleanupExit(const CleanupResult& r) {
    if (r.status == CleanupResult::Status::Stopped) {
        if (!r.error.empty()) std::cerr << r.error << '\n';
        return kExitFailure;
    }
    printCleanup(r);
    return r.ok() ? kExitOk : kExitFailure;
}

int cmdCleanup(const std::vector<std::string>& argv) {
    Args args(argv, {"--yes", "--no"}, {});
    args.expectPositional(1, 1);
    requireAnswers(args);
    // A folder with both system settings files cannot be opened either: say
    // what the cleanup says about it.
    if (const CleanupCard c = findCleanupCard(cardFolderOf(args.positional()[0]));
        c.bothSystemFiles) {
        std::cerr << c.stopMessage << '\n' << c.detail << '\n';
        return kExitFailure;
    }
    OpenCard card(args.positional()[0], TerminalPrompter::policyFrom(args));
    CommandPrompter prompter(card.prompter);
    return cleanupExit(runCleanup(card.doc, prompter));
}

int cmdImport(const std::vector<std::string>& argv) {
    reportFileSizeLimit();
    Args args(argv, {"--yes", "--no", "--cleanup"}, {"--folder", "--start", "--rate", "--mix"});
    const InputOptions input = parseInputOptions(args);
    const auto folder = args.option("--folder");
    args.expectPositional(1, folder ? 1 : 100000);
    if (!folder && args.positional().size() < 2)
        throw UsageError("name WAV files or --folder SRCDIR");
    if (args.flag("--cleanup")) requireAnswers(args);
    OpenCard card(args.positional()[0], TerminalPrompter::policyFrom(args));
    CommandPrompter prompter(card.prompter);
    if (card.doc.model() != Model::WQ7000)
        throw Failure(args.positional()[0] + ": a WQ-5000 card does not play WAV phrases");
    const int maxNumber = copySlotCount(card.doc);
    const int start =
        args.option("--start") ? parseInt(*args.option("--start"), "--start", 1, maxNumber) : 1;

    std::vector<fs::path> sources;
    if (folder) {
        std::string error;
        sources = audioFilesInFolder(*folder, error);
        if (!error.empty()) throw Failure(error);
        if (sources.empty()) throw Failure(*folder + ": no audio files in this folder");
    } else {
        sources.assign(args.positional().begin() + 1, args.positional().end());
    }
    const fs::path cardFolder = fs::path(card.doc.systemPath()).parent_path();
    // The new files become phrases only through the cleanup: a card it
    // cannot read gets no files.
    if (const auto stop = cleanupStopFor(cardFolder)) {
        std::cerr << stop->message << '\n' << stop->detail << '\n';
        return kExitFailure;
    }
    const ImportBatch batch =
        importWavFiles(sources, cardFolder, start, maxNumber, nullptr, {}, realFileSystem(), input);
    for (const ImportItem& item : batch.items) {
        if (item.ok)
            std::cout << item.source.string() << " -> " << item.target.filename().string()
                      << (item.conversions.empty() ? "" : " (" + item.conversions + ")") << '\n';
        if (!item.error.empty()) std::cerr << item.error << '\n';
    }
    const int failed = static_cast<int>(batch.items.size()) - batch.succeeded;
    if (batch.succeeded == 0) {
        std::cerr << kMsgConvertFailed << '\n';
        return kExitFailure;
    }
    std::cout << convertEndMessage(batch.succeeded, folder.has_value(), false, Language::English)
              << '\n';

    bool cleanup = args.flag("--cleanup");
    if (!cleanup && !args.flag("--no") && (args.flag("--yes") || isatty(STDIN_FILENO)))
        cleanup = prompter.ask(kMsgConvertCleanup, Buttons::YesNo, Icon::Question) == Answer::Yes;
    if (cleanup) {
        const int status = cleanupExit(runCleanup(card.doc, prompter));
        if (status != kExitOk) return status;
    } else {
        std::cout << "The new files become phrases with: wqe cleanup " << args.positional()[0]
                  << '\n';
    }
    return failed ? kExitFailure : kExitOk;
}

const bool registered = [] {
    registerCommand(
        {"backup", "copy a card folder into a backup folder",
         "usage: wqe backup CARD DEST [--yes|--no]\n\n"
         "Deletes the device files in DEST (\"_WQ*.*\", \"WQ*.TXT\" and the content of\n"
         "\"_WQ7TDIR.CNF\") after a question, then copies the whole card folder into\n"
         "DEST, sub-folders included. A DEST that does not exist is created without\n"
         "a question. Refused when the folders are the same or one lies inside the\n"
         "other. The copy is made and checked in a staging folder inside DEST first;\n"
         "a failure (a full disk, a file too large) leaves DEST as it was. The\n"
         "program's own temporary files are not copied.\n",
         cmdBackup});
    registerCommand({"restore", "copy a backup folder back into a card folder",
                     "usage: wqe restore SRC CARD [--yes|--no]\n\n"
                     "Deletes the device files of CARD after a question, then copies the whole\n"
                     "backup folder SRC into it, sub-folders included. As with backup, a\n"
                     "failure leaves CARD as it was.\n",
                     cmdRestore});
    registerCommand({"delete", "erase a phrase and delete its data file",
                     "usage: wqe delete CARD N [--yes|--no]\n\n"
                     "Deletes the data file of phrase N and saves its erased record. The memo\n"
                     "line of the phrase stays.\n",
                     cmdDelete});
    registerCommand({"copy", "copy a phrase data file into an empty phrase slot",
                     "usage: wqe copy SRCFILE CARD --to N\n\n"
                     "Copies a .PHR, .MID or .WAV file into the data file of the empty phrase N\n"
                     "and saves its record and memo line: from the source folder's phrase\n"
                     "settings and memo files when they describe the file, else built from the\n"
                     "file.\n",
                     cmdCopy});
    registerCommand(
        {"import", "copy WAV files onto a WQ-7000 card as WAV phrases",
         "usage: wqe import CARD FILE... [--start N] [--rate HZ] [--mix mono|stereo]\n"
         "                  [--cleanup] [--yes|--no]\n"
         "       wqe import CARD --folder SRCDIR [--start N] [--rate HZ] [--mix mono|stereo]\n"
         "                  [--cleanup] [--yes|--no]\n\n"
         "Writes each audio file (as wqe encode takes them) as a 16-bit PCM WAV\n"
         "phrase to the first free phrase number from N (default 1), padded to\n"
         "whole blocks. A 16-bit WAV file, mono or stereo, at a device rate keeps\n"
         "its samples; anything else is converted as wqe encode converts it (the\n"
         "rate by --rate, more than two channels only with --mix), to 16 bits.\n"
         "--cleanup then runs the cleanup that registers the new phrases; without\n"
         "it the cleanup is offered at a terminal (or with --yes).\n",
         cmdImport});
    registerCommand({"cleanup", "bring the phrase settings into agreement with the data files",
                     "usage: wqe cleanup CARD [--yes|--no]\n\n"
                     "Keeps registrations whose data file is present, registers data files\n"
                     "without a registration, drops registrations whose file is missing and\n"
                     "asks about every further data file of a phrase number (--yes deletes\n"
                     "them, --no keeps them). A phrase whose data file cannot be read keeps\n"
                     "its record and its files and is reported. Prints what changed per phrase.\n",
                     cmdCleanup});
    return true;
}();

}  // namespace

}  // namespace wqe::cli

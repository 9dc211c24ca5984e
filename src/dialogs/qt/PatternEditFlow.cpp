#include "dialogs/qt/PatternEditFlow.h"

#include <QtGlobal>

#include "card/CWQEDoc.h"
#include "card/Prompter.h"
#include "dialogs/PatternEdit.h"
#include "dialogs/qt/CPhSel3.h"
#include "dialogs/qt/CPthPhEdit.h"
#include "view/SystemFormCommands.h"
#include "view/qt/CWQEView.h"

namespace wqe {

namespace {

const char* missingMessage(bool song) { return song ? kMsgNoSongFile : kMsgNoPatternFile; }
const char* wrongMessage(bool song) { return song ? kMsgSongFileWrong : kMsgPatternFileWrong; }

// Step 1: the phrase's data file, of the editor's kind; reported when missing
// or not a file of that kind.
std::optional<PatternData> readForEditing(CWQEDoc& doc, Prompter& prompter, int index,
                                          PatternKind kind) {
    const bool song = kind == PatternKind::Song;
    const auto path = patternDataPath(doc, index);
    PatternReadResult read = readPatternFile(path, doc.model());
    if (read.status == PatternReadStatus::Missing) {
        prompter.message(missingMessage(song), Icon::Exclamation);
        return std::nullopt;
    }
    if (!read.data) {
        prompter.report(wrongMessage(song), Error{ErrorKind::BadFormat, "", read.error});
        return std::nullopt;
    }
    if (read.data->kind() != kind) {
        prompter.report(wrongMessage(song),
                        Error{ErrorKind::BadFormat, path.string(),
                              read.data->isSong() ? "a song file, not a pattern file"
                                                  : "a pattern file, not a song file"});
        return std::nullopt;
    }
    return read.data;
}

// The names of the undo steps the flow records, for the translation file.
[[maybe_unused]] constexpr const char* kStepNames[] = {
    QT_TRANSLATE_NOOP("EditStep", "Pattern Phrase"),
    QT_TRANSLATE_NOOP("EditStep", "Song Phrase"),
    QT_TRANSLATE_NOOP("EditStep", "Erase Phrase"),
};

void discard(CWQEDoc& doc, Prompter& prompter, int index, PatternKind kind) {
    if (const Status s = discardNewPhrase(doc, index); !s)
        prompter.report(patternWriteFailureMessage(kind), s.error());
}

}  // namespace

bool runPatternEditFlow(QWidget* parent, CWQEDoc& doc, Prompter& prompter, int phraseIndex,
                        int editorKind, bool isNew, int patternModeIndex) {
    if (!doc.isLoaded() || phraseIndex < 0 || phraseIndex >= doc.phraseCount() || editorKind < 0 ||
        editorKind > 2)
        return false;
    const auto kind = static_cast<PatternKind>(editorKind);
    const auto data = readForEditing(doc, prompter, phraseIndex, kind);
    if (!data) {
        if (isNew) discard(doc, prompter, phraseIndex, kind);
        return false;
    }
    const auto playCount = static_cast<std::uint8_t>(doc.phr().getRegistered(phraseIndex));
    CPthPhEdit editor(PatternEditor(*data, patternModeIndex, playCount), doc.model(),
                      doc.language(), static_cast<int>(doc.sys().getMtcType()), parent);
    if (editor.exec() != QDialog::Accepted) {
        if (isNew) discard(doc, prompter, phraseIndex, kind);
        return false;
    }
    const StoreResult stored =
        storeEditedSteps(doc, phraseIndex, editor.storedData(), editor.playCountByte());
    if (!stored.status) {
        prompter.report(patternWriteFailureMessage(kind), stored.status.error());
        return false;
    }
    if (stored.interruptCorrected) prompter.message(kMsgInterruptCorrected, Icon::Exclamation);
    return true;
}

bool runMakePhrase(QWidget* parent, CWQEDoc& doc, Prompter& prompter, int phraseIndex, int preset) {
    if (!doc.isLoaded() || phraseIndex < 0 || phraseIndex >= doc.phraseCount() ||
        doc.phr().isUsed(phraseIndex))
        return false;
    CPhSel3 dialog(doc.model(), static_cast<MakePreset>(preset), parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    const PatternKind kind = madeKind(doc.model(), dialog.songChosen());
    if (const Status s = makeNewPhrase(doc, phraseIndex, kind); !s) {
        prompter.report(patternWriteFailureMessage(kind), s.error());
        return false;
    }
    runPatternEditFlow(parent, doc, prompter, phraseIndex, static_cast<int>(kind), true,
                       patternModeIndexOf(doc, phraseIndex));
    return true;
}

bool runPhraseCombination(QWidget* parent, CWQEDoc& doc, Prompter& prompter, int phraseIndex,
                          bool song) {
    if (!isPhraseCommandEnabled(doc, phraseIndex,
                                song ? PhraseCommand::Song : PhraseCommand::Pattern))
        return false;
    if (!doc.phr().isUsed(phraseIndex))
        return runMakePhrase(parent, doc, prompter, phraseIndex,
                             static_cast<int>(song ? MakePreset::Song : MakePreset::Pattern));
    const auto kind = editorKindOf(doc, phraseIndex);
    if (!kind || (*kind == PatternKind::Song) != song) return false;
    return runPatternEditFlow(parent, doc, prompter, phraseIndex, static_cast<int>(*kind), false,
                              patternModeIndexOf(doc, phraseIndex));
}

void registerPatternCommands(CWQEView& view) {
    view.setCommandHandler(Command::PatternPhrase, [&view] { view.onPatternPhrase(); });
    view.setCommandHandler(Command::SongPhrase, [&view] { view.onSongPhrase(); });
}

}  // namespace wqe

// Making and editing pattern and song phrases from the editor: the flow that
// reads a phrase's data file, runs the step editor and stores its result,
// "Phrase to make" for an empty slot, and the view's "Pattern Phrase" and
// "Song Phrase" commands.
#pragma once

class QWidget;

namespace wqe {

class CWQEDoc;
class CWQEView;
class Prompter;

// Reads the data file of phrase `phraseIndex` (editorKind 0 WQ-5000 pattern,
// 1 WQ-7000 pattern, 2 song), runs the step editor with the pattern mode
// item `patternModeIndex` (0 SEQUENCE .. 3 RANDOM3) and, on ENTER, writes the
// data file and updates the record (one undoable edit). A missing or wrong
// data file is reported and nothing changes. CLOSE of a new phrase deletes
// the prepared data file and empties the record. True when ENTER stored the
// steps.
bool runPatternEditFlow(QWidget* parent, CWQEDoc& doc, Prompter& prompter, int phraseIndex,
                        int editorKind, bool isNew, int patternModeIndex = 0);

// "Phrase to make" on empty phrase `phraseIndex` with preset 0 (none),
// 1 (pattern) or 2 (song); on OK prepares the phrase and runs the flow for
// it. True when the phrase's record changed.
bool runMakePhrase(QWidget* parent, CWQEDoc& doc, Prompter& prompter, int phraseIndex, int preset);

// "Pattern Phrase" (song false) and "Song Phrase" (song true) on phrase
// `phraseIndex`: "Phrase to make" for an empty phrase, else the flow on the
// phrase. Does nothing where the command is not enabled. True when the
// phrase's row needs refilling.
bool runPhraseCombination(QWidget* parent, CWQEDoc& doc, Prompter& prompter, int phraseIndex,
                          bool song);

// Gives the view's commands 32786 and 32787 their handlers.
void registerPatternCommands(CWQEView& view);

}  // namespace wqe

// "Play" of the phrase list: Space, or the item in the context menu and the
// Phrase Settings menu, plays the selected audio phrase at its volume; Space
// on the playing row, or Esc, stops it. Playing another row stops the first.
// The status bar shows the phrase number and "mm:ss.s / mm:ss.s" while it
// plays. Without a sound output device the command has no handler (so it is
// disabled) and its tooltip says why.
#pragma once

class QAction;
class QMainWindow;

namespace wqe {

class CPhrasePlayer;
class CWQEView;

// Registers the command on `view`; `menuItem` is the main menu's item (its
// tooltip is set), `frame` shows the status. `player` null: the shared one.
void registerPreviewCommands(CWQEView& view, QMainWindow& frame, QAction* menuItem,
                             CPhrasePlayer* player = nullptr);

}  // namespace wqe

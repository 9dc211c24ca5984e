// The EDIT menu's "File Convert" and "WAV Import": their handlers on the view.
#pragma once

class QWidget;

namespace wqe {

class CWQEDoc;
class CWQEView;

// Registers the two commands' handlers; each runs its dialog modally over
// `owner` and, when the user accepts the cleanup question, the "Cleanup"
// command (its own handler when there is one, else the cleanup itself).
void registerConvertCommands(CWQEView& view, CWQEDoc& doc, QWidget* owner);

}  // namespace wqe

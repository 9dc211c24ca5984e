// The maintenance commands of the EDIT and Phrase Settings menus (Backup,
// Restore, Cleanup, Delete of folder, Delete Phrase, Copy Phrase) and the
// phrase list's drag and drop: their handlers on the view.
#pragma once

#include <QList>
#include <QUrl>

class QWidget;

namespace wqe {

class CWQEDoc;
class CWQEView;

// Registers the commands' handlers on `view`; their dialogs run modally over
// `owner`. Questions and messages go through the document's prompter.
void registerMaintenanceCommands(CWQEView& view, CWQEDoc& doc, QWidget* owner);

// Files dropped on row `row` of the phrase list: registered as phrases from
// that row on (see dropPhraseFiles), and the rows shown. Local files only.
void dropFilesOnRow(CWQEView& view, CWQEDoc& doc, int row, const QList<QUrl>& urls);

}  // namespace wqe

// The table editors: Direct Play (CDirect), Program Play 1..5 (CCount1) and
// MIDI Note Map (CmidiNoteDlg). A two-column list of entry and phrase, the
// RESET A / RESET B / CLEAR (and for program play INSERT / DELETE) buttons,
// and the phrase chooser on a double click. ENTER stores the whole table as
// one undoable edit.
#pragma once

#include <QDialog>

#include "card/CWQEDoc.h"
#include "dialogs/PlayTables.h"

class QTreeWidget;

namespace wqe {

class CTableDlg : public QDialog {
    Q_OBJECT
public:
    QTreeWidget* table() const { return table_; }
    const PlayTable& values() const { return table_values_; }
    // The chooser on entry `entry`, as a double click opens it.
    void chooseEntry(int entry);

    void accept() override;

protected:
    CTableDlg(CWQEDoc& doc, TableKind kind, int program, const QString& title,
              const std::string& editName, const QString& labelHeader, QWidget* parent);

private:
    void refresh();
    int selected() const;

    CWQEDoc& doc_;
    PlayTable table_values_;
    std::string editName_;
    QTreeWidget* table_ = nullptr;
};

class CDirect : public CTableDlg {
    Q_OBJECT
public:
    CDirect(CWQEDoc& doc, QWidget* parent = nullptr);
};

class CCount1 : public CTableDlg {
    Q_OBJECT
public:
    // `program` 0..4: "Program Play 1" .. "Program Play 5".
    CCount1(CWQEDoc& doc, int program, QWidget* parent = nullptr);
};

class CmidiNoteDlg : public CTableDlg {
    Q_OBJECT
public:
    CmidiNoteDlg(CWQEDoc& doc, QWidget* parent = nullptr);
};

}  // namespace wqe

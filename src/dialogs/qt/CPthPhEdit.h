// The step editor of pattern and song phrases ("Editing Pattern Phrases",
// "Editing Song Phrases"): the step list, INSERT / DELETE / CLEAR within the
// selected row's block, the PLAY count of WQ-7000 patterns, a double click
// to the step dialog (patterns) or the start-point chooser (songs). The rows
// and what ENTER stores live in PatternEditor; this class moves them between
// the widgets and the editor.
#pragma once

#include <QDialog>

#include "card/Language.h"
#include "dialogs/PatternEdit.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace wqe {

class CPthPhEdit : public QDialog {
    Q_OBJECT
public:
    CPthPhEdit(PatternEditor editor, Model model, Language lang, int mtcType,
               QWidget* parent = nullptr);

    const PatternEditor& editor() const { return editor_; }
    // The data block ENTER stores (with the selected row for the interrupt step).
    PatternData storedData() const;
    // The PLAY count byte ENTER stores (WQ-7000 patterns), nullopt otherwise.
    std::optional<std::uint8_t> playCountByte() const;

    QTreeWidget* stepList() const { return list_; }
    QComboBox* playList() const { return play_; }
    int selectedRow() const;
    void selectRow(int r);
    // Opens the step dialog or the start-point chooser on row r (double click).
    void editRow(int r);

private:
    void fillRow(int r);
    void fillAll();
    void act(void (PatternEditor::*op)(int));

    PatternEditor editor_;
    Model model_;
    Language lang_;
    int mtcType_;
    QTreeWidget* list_ = nullptr;
    QLabel* playLabel_ = nullptr;
    QComboBox* play_ = nullptr;
};

}  // namespace wqe

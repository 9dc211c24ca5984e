// The step dialog of the pattern editor ("Select"): a row's phrase, volume
// (WQ-7000 patterns) and interval (main steps only). Lists and results come
// from dialogs/PatternEdit.
#pragma once

#include <QDialog>

#include "dialogs/PatternEdit.h"

class QComboBox;

namespace wqe {

class CPhSel2 : public QDialog {
    Q_OBJECT
public:
    CPhSel2(Model model, PatternKind kind, const EditorRow& current, bool interruptRow,
            QWidget* parent = nullptr);

    // The row ENTER gives; a list without a selection keeps the current value.
    EditorRow value() const;
    QComboBox* phraseList() const { return phrase_; }
    QComboBox* volumeList() const { return volume_; }
    QComboBox* intervalList() const { return interval_; }

private:
    Model model_;
    EditorRow current_;
    QComboBox* phrase_ = nullptr;
    QComboBox* volume_ = nullptr;
    QComboBox* interval_ = nullptr;
};

}  // namespace wqe

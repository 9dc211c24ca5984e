// The system settings dialogs opened from the system form: Line Thru
// (ClineThru), Equalizer (CEqDlg), Busy Out (CBusyDlg), Control Input
// (CControl), MIDI (CMidiSet) and MTC (CMtcDlg). Each reads its fields from
// the document's system record when it opens and, on ENTER, stores them as
// one undoable edit named after the dialog; CLOSE discards its changes.
#pragma once

#include <QDialog>
#include <functional>
#include <map>

#include "card/CWQEDoc.h"
#include "dialogs/SystemDialogs.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLayout;
class QPushButton;
class QVBoxLayout;

namespace wqe {

class CSettingsDialog : public QDialog {
    Q_OBJECT
public:
    QComboBox* list(DialogField f) const;
    QCheckBox* check(DialogField f) const;

    void accept() override;

protected:
    // `editName`: the window title in English, also the undo step's name.
    CSettingsDialog(CWQEDoc& doc, SysDialog dialog, const char* editName, QWidget* parent);

    // A label and the drop-down list of field `f` in the next row.
    QComboBox* addList(DialogField f, const QString& label);
    // A check box in the next row, or at the end of `into` when given.
    QCheckBox* addCheck(DialogField f, const QString& text, QLayout* into = nullptr);
    // A widget across both columns in the next row.
    void addWide(QWidget* w);
    // A button in the column below ENTER and CLOSE.
    QPushButton* addButton(const QString& text, const char* name);
    // Once every control is added: ENTER and CLOSE, the model's enabling.
    void finish();
    // After ENTER has stored the fields.
    virtual void afterEnter() {}

    CWQEDoc& doc_;
    QGridLayout* grid_ = nullptr;
    QVBoxLayout* extra_ = nullptr;

private:
    SysDialog dialog_;
    const char* editName_;
    DialogValues opened_;
    std::map<DialogField, QComboBox*> lists_;
    std::map<DialogField, QCheckBox*> checks_;
    std::map<DialogField, QLabel*> labels_;
    int row_ = 0;
};

class ClineThru : public CSettingsDialog {
    Q_OBJECT
public:
    ClineThru(CWQEDoc& doc, QWidget* parent = nullptr);
};

class CEqDlg : public CSettingsDialog {
    Q_OBJECT
public:
    CEqDlg(CWQEDoc& doc, QWidget* parent = nullptr);
};

class CBusyDlg : public CSettingsDialog {
    Q_OBJECT
public:
    CBusyDlg(CWQEDoc& doc, QWidget* parent = nullptr);
};

class CControl : public CSettingsDialog {
    Q_OBJECT
public:
    CControl(CWQEDoc& doc, QWidget* parent = nullptr);
};

class CMidiSet : public CSettingsDialog {
    Q_OBJECT
public:
    // `mtcChanged` runs after MTC Settings stored its fields (the phrase
    // list's times depend on the MTC type).
    CMidiSet(CWQEDoc& doc, std::function<void()> mtcChanged, QWidget* parent = nullptr);

private:
    std::function<void()> mtcChanged_;
};

class CMtcDlg : public CSettingsDialog {
    Q_OBJECT
public:
    CMtcDlg(CWQEDoc& doc, std::function<void()> changed, QWidget* parent = nullptr);

protected:
    void afterEnter() override;

private:
    std::function<void()> changed_;
};

}  // namespace wqe

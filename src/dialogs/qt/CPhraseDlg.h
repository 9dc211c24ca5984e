// Phrase Setup (CPhraseDlg): the playback settings, name and memo of one used
// phrase, and the File Information pane that says what its data file holds.
// ENTER stores everything as one undoable edit "Phrase Setup"; CLOSE leaves
// the document as it was. The lists, their positions and what ENTER stores
// come from dialogs/PhraseSetup.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "card/CWQEDoc.h"
#include "dialogs/PhraseSetup.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace wqe {

class CPhraseDlg : public QDialog {
    Q_OBJECT
public:
    CPhraseDlg(CWQEDoc& doc, int index, QWidget* parent = nullptr);

    // False for an empty slot or an unknown kind: exec() then returns
    // Rejected without showing the dialog.
    bool isValid() const { return setup_.has_value(); }
    int exec() override;

    // The "Pattern Edit" / "Song Edit" button runs `handler` with this dialog
    // and the pattern mode position (0 when none is selected); it runs the
    // editor and writes the data file, and returns true when it wrote. The
    // File Information is then read again. Without a handler the button is
    // disabled.
    using PatternEditHandler = std::function<bool(QWidget* parent, int patternModeIndex)>;
    void setPatternEditHandler(PatternEditHandler handler);

    QComboBox* list(SetupList l) const { return lists_[static_cast<std::size_t>(l)]; }
    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* memoEdit() const { return memo_; }
    QLineEdit* pointEdit(int k) const { return points_[static_cast<std::size_t>(k)]; }
    QLabel* infoLine(int k) const { return info_[static_cast<std::size_t>(k)]; }
    QPushButton* editButton() const { return edit_; }
    const std::optional<PhraseSetup>& setup() const { return setup_; }

    void accept() override;

private:
    void build();
    QComboBox* addList(SetupList l, const QString& label, int row);
    void addPlayButton(int index);
    void showFileInformation();
    void updateEditButton();
    void onNameEdited(const QString& text);
    void onRepeatChanged(int position);
    void onEditPattern();

    CWQEDoc& doc_;
    Language lang_;
    std::optional<PhraseSetup> setup_;
    PatternEditHandler patternEdit_;

    QGroupBox* phraseBox_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* memo_ = nullptr;
    std::array<QComboBox*, kSetupListCount> lists_{};
    std::array<QLabel*, kSetupListCount> listLabels_{};
    std::array<QLineEdit*, 4> points_{};
    std::array<QLabel*, 4> pointLabels_{};
    std::array<QLabel*, kFileInfoLineCount> info_{};
    QPushButton* edit_ = nullptr;
};

}  // namespace wqe

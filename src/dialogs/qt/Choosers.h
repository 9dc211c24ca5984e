// The phrase chooser (CPhSel) of the play tables and the note map, and the
// start-point chooser (CMtcSel) of song steps. Both are "Select" dialogs
// with "ENTER" and "CLOSE"; the lists and the result come from the core.
#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "card/Language.h"
#include "dialogs/PhraseChooser.h"
#include "dialogs/StartPointChooser.h"

class QComboBox;

namespace wqe {

class CPhSel : public QDialog {
    Q_OBJECT
public:
    CPhSel(const PhraseChooser& chooser, std::uint16_t current, QWidget* parent = nullptr);

    // The reference ENTER gives (the current one when nothing is selected).
    std::uint16_t value() const;
    QComboBox* list() const { return list_; }

    // Runs the dialog; nullopt on CLOSE.
    static std::optional<std::uint16_t> choose(const PhraseChooser& chooser, std::uint16_t current,
                                               QWidget* parent);

private:
    PhraseChooser chooser_;
    std::uint16_t current_;
    QComboBox* list_ = nullptr;
};

class CMtcSel : public QDialog {
    Q_OBJECT
public:
    CMtcSel(const StartPoint& current, int mtcType, Language lang, QWidget* parent = nullptr);

    StartPoint value() const;
    QComboBox* phraseList() const { return phrase_; }
    QComboBox* timeList(StartField f) const { return time_[static_cast<std::size_t>(f)]; }

    static std::optional<StartPoint> choose(const StartPoint& current, int mtcType, Language lang,
                                            QWidget* parent);

private:
    void updateEnabling();

    StartPoint current_;
    QComboBox* phrase_ = nullptr;
    std::array<QComboBox*, 4> time_{};
};

}  // namespace wqe

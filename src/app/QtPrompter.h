// The editor's answers to the card operations' questions and messages:
// message boxes with the matching icons, the system beep and the file-open
// dialog. Texts of the core are shown translated when a translation exists.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <span>

#include "card/Prompter.h"

namespace wqe {

class QtPrompter : public Prompter {
public:
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    Answer ask(const std::string& text, Buttons buttons, Icon icon) override;
    void message(const std::string& text, Icon icon) override;
    void report(const std::string& fixed, const Error& error, Icon icon) override;
    void beep() override;
    std::optional<std::string> chooseOpenFile(const std::string& title, const std::string& filter,
                                              const std::string& initialFolder) override;

private:
    QPointer<QWidget> parent_;
};

// A filter of the form "Description|pattern|...|" as Qt's file dialog wants
// it: "Description (pattern)" per pair, pairs separated by ";;". A
// description that already ends in "(pattern)" is kept as it is.
QString qtFileFilter(const QString& filter);

// The translation of a text of the core (messages, dialog titles), or the
// text itself.
QString translateCoreText(const std::string& text);
// The core's message constants that translateCoreText translates.
std::span<const char* const> coreTexts();

// The title of every message box.
inline constexpr const char* kMessageBoxTitle = "WQE-7000";

}  // namespace wqe

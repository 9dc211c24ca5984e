// The questions and messages that card operations raise. The editor answers
// them with message boxes, the command-line tool with flags or a terminal
// prompt, and the tests with scripted answers.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "base/Error.h"

namespace wqe {

enum class Answer { Yes, No, Cancel };
enum class Buttons { YesNo, YesNoCancel };
enum class Icon { Information, Exclamation, Question, Error };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const std::string& text, Buttons buttons, Icon icon) = 0;
    virtual void message(const std::string& text, Icon icon) = 0;
    // A failure: `fixed` is the editor's own message for it ("Fail to Read
    // File!"), `error` names the file and the reason. The editor shows the
    // fixed message with the file and reason under it; the command-line tool
    // prints the file and the reason.
    virtual void report(const std::string& fixed, const Error& error,
                        Icon icon = Icon::Exclamation) {
        message(fixed + "\n" + error.message(), icon);
    }
    virtual void beep() {}
    // The file-open dialog; nullopt when the user cancels.
    virtual std::optional<std::string> chooseOpenFile(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& initialFolder) {
        (void)title, (void)filter, (void)initialFolder;
        return std::nullopt;
    }
};

// Answers from a list given in advance; records everything it was asked and
// told. When the list runs out it answers `fallback`.
class ScriptedPrompter : public Prompter {
public:
    explicit ScriptedPrompter(std::deque<Answer> answers = {}, Answer fallback = Answer::No)
        : answers_(std::move(answers)), fallback_(fallback) {}

    Answer ask(const std::string& text, Buttons, Icon) override {
        questions.push_back(text);
        if (answers_.empty()) return fallback_;
        const Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    void message(const std::string& text, Icon) override { messages.push_back(text); }
    // Records the fixed message in `messages` and the error in `errors`.
    void report(const std::string& fixed, const Error& error, Icon) override {
        messages.push_back(fixed);
        errors.push_back(error);
    }
    void beep() override { ++beeps; }
    std::optional<std::string> chooseOpenFile(const std::string&, const std::string&,
                                              const std::string& initialFolder) override {
        openDialogFolders.push_back(initialFolder);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }

    std::vector<std::string> questions;
    std::vector<std::string> messages;
    std::vector<Error> errors;
    std::vector<std::string> openDialogFolders;
    std::deque<std::optional<std::string>> files;  // answers of the open dialog
    int beeps = 0;

private:
    std::deque<Answer> answers_;
    Answer fallback_;
};

}  // namespace wqe

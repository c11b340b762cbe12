#pragma once
// A Prompter for the command-line tool: messages go to the error stream as UTF-8 lines and
// every question is answered with its first button; dialogs count as cancelled.
#include "platform/Prompter.h"

#include <ostream>

namespace rovik::cli {

class ConsolePrompter : public Prompter {
public:
    explicit ConsolePrompter(std::ostream& err) : m_err(err) {}
    Answer ask(const std::string& text, const std::string&, Buttons buttons, Icon) override {
        m_err << "rovik-cli: " << text << "\n";
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return std::nullopt; }
    std::optional<bool> chooseShowChoices() override { return std::nullopt; }

private:
    std::ostream& m_err;
};

} // namespace rovik::cli

#pragma once
// A Prompter for tests: every prompt must have been expected, in order, with its exact
// text, caption, buttons and icon; anything else fails the test.
#include "platform/Prompter.h"

#include <deque>
#include <variant>
#include <vector>

namespace rovik::test {

struct ExpectedMessage {
    std::string text;
    std::string caption;
    Buttons buttons;
    Icon icon;
    Answer answer;
};
struct ExpectedOpen {
    std::optional<std::string> path;
    std::string filter; // checked when not empty
};
struct ExpectedSave {
    std::optional<std::string> path;
    std::string filter;
};
struct ExpectedFormat {
    std::optional<int> format;
};
struct ExpectedChoice {
    std::optional<bool> showChoices;
};
struct ExpectedOptions {
    std::string caption;
    std::vector<OptionGroup> groups; // titles, items and preselected items, all checked
    std::optional<std::vector<int>> answer;
};

class ScriptedPrompter : public Prompter {
public:
    ~ScriptedPrompter() override;

    ScriptedPrompter& expectMessage(std::string text, std::string caption, Buttons buttons, Icon icon,
                                    Answer answer = Answer::Ok);
    ScriptedPrompter& expectOpen(std::optional<std::string> path, std::string filter = {});
    ScriptedPrompter& expectSave(std::optional<std::string> path, std::string filter = {});
    ScriptedPrompter& expectFormat(std::optional<int> format);
    ScriptedPrompter& expectChoice(std::optional<bool> showChoices);
    ScriptedPrompter& expectOptions(std::string caption, std::vector<OptionGroup> groups,
                                    std::optional<std::vector<int>> answer);

    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<int> chooseImportFormat() override;
    std::optional<bool> chooseShowChoices() override;
    std::optional<std::vector<int>> chooseOptions(const std::string& caption,
                                                  const std::vector<OptionGroup>& groups) override;

    bool done() const { return m_script.empty(); }
    // The requests the file dialogs were opened with, in order.
    std::vector<FileDialogRequest> dialogRequests;

private:
    using Step = std::variant<ExpectedMessage, ExpectedOpen, ExpectedSave, ExpectedFormat, ExpectedChoice,
                              ExpectedOptions>;
    std::deque<Step> m_script;
};

} // namespace rovik::test

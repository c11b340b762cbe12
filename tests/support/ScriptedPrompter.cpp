#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rovik::test {
namespace {
const char* describe(Buttons b) {
    switch (b) {
    case Buttons::Ok:
        return "Ok";
    case Buttons::YesNo:
        return "YesNo";
    case Buttons::YesNoCancel:
        return "YesNoCancel";
    }
    return "?";
}
} // namespace

ScriptedPrompter::~ScriptedPrompter() {
    EXPECT_TRUE(m_script.empty()) << m_script.size() << " expected prompt(s) never came";
}

ScriptedPrompter& ScriptedPrompter::expectMessage(std::string text, std::string caption, Buttons buttons,
                                                  Icon icon, Answer answer) {
    m_script.push_back(ExpectedMessage{std::move(text), std::move(caption), buttons, icon, answer});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectOpen(std::optional<std::string> path, std::string filter) {
    m_script.push_back(ExpectedOpen{std::move(path), std::move(filter)});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectSave(std::optional<std::string> path, std::string filter) {
    m_script.push_back(ExpectedSave{std::move(path), std::move(filter)});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectFormat(std::optional<int> format) {
    m_script.push_back(ExpectedFormat{format});
    return *this;
}
ScriptedPrompter& ScriptedPrompter::expectChoice(std::optional<bool> showChoices) {
    m_script.push_back(ExpectedChoice{showChoices});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectOptions(std::string caption, std::vector<OptionGroup> groups,
                                                  std::optional<std::vector<int>> answer) {
    m_script.push_back(ExpectedOptions{std::move(caption), std::move(groups), std::move(answer)});
    return *this;
}

Answer ScriptedPrompter::ask(const std::string& text, const std::string& caption, Buttons buttons,
                             Icon icon) {
    if (m_script.empty() || !std::holds_alternative<ExpectedMessage>(m_script.front())) {
        ADD_FAILURE() << "unexpected message box: \"" << text << "\" caption \"" << caption << "\"";
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    ExpectedMessage expected = std::get<ExpectedMessage>(m_script.front());
    m_script.pop_front();
    EXPECT_EQ(expected.text, text);
    EXPECT_EQ(expected.caption, caption) << "for \"" << text << "\"";
    EXPECT_STREQ(describe(expected.buttons), describe(buttons)) << "for \"" << text << "\"";
    EXPECT_EQ(static_cast<int>(expected.icon), static_cast<int>(icon)) << "icon for \"" << text << "\"";
    return expected.answer;
}

std::optional<std::string> ScriptedPrompter::openFile(const FileDialogRequest& request) {
    dialogRequests.push_back(request);
    if (m_script.empty() || !std::holds_alternative<ExpectedOpen>(m_script.front())) {
        ADD_FAILURE() << "unexpected open dialog, filter \"" << request.filter << "\"";
        return std::nullopt;
    }
    ExpectedOpen expected = std::get<ExpectedOpen>(m_script.front());
    m_script.pop_front();
    if (!expected.filter.empty()) {
        EXPECT_EQ(expected.filter, request.filter);
    }
    return expected.path;
}

std::optional<std::string> ScriptedPrompter::saveFile(const FileDialogRequest& request) {
    dialogRequests.push_back(request);
    if (m_script.empty() || !std::holds_alternative<ExpectedSave>(m_script.front())) {
        ADD_FAILURE() << "unexpected save dialog, filter \"" << request.filter << "\"";
        return std::nullopt;
    }
    ExpectedSave expected = std::get<ExpectedSave>(m_script.front());
    m_script.pop_front();
    if (!expected.filter.empty()) {
        EXPECT_EQ(expected.filter, request.filter);
    }
    return expected.path;
}

std::optional<int> ScriptedPrompter::chooseImportFormat() {
    if (m_script.empty() || !std::holds_alternative<ExpectedFormat>(m_script.front())) {
        ADD_FAILURE() << "unexpected format dialog";
        return std::nullopt;
    }
    auto expected = std::get<ExpectedFormat>(m_script.front());
    m_script.pop_front();
    return expected.format;
}

std::optional<bool> ScriptedPrompter::chooseShowChoices() {
    if (m_script.empty() || !std::holds_alternative<ExpectedChoice>(m_script.front())) {
        ADD_FAILURE() << "unexpected choice dialog";
        return std::nullopt;
    }
    auto expected = std::get<ExpectedChoice>(m_script.front());
    m_script.pop_front();
    return expected.showChoices;
}

std::optional<std::vector<int>> ScriptedPrompter::chooseOptions(const std::string& caption,
                                                                const std::vector<OptionGroup>& groups) {
    if (m_script.empty() || !std::holds_alternative<ExpectedOptions>(m_script.front())) {
        ADD_FAILURE() << "unexpected option dialog \"" << caption << "\"";
        return std::nullopt;
    }
    ExpectedOptions expected = std::get<ExpectedOptions>(m_script.front());
    m_script.pop_front();
    EXPECT_EQ(expected.caption, caption);
    EXPECT_EQ(expected.groups.size(), groups.size()) << caption;
    for (std::size_t i = 0; i < std::min(expected.groups.size(), groups.size()); ++i) {
        EXPECT_EQ(expected.groups[i].title, groups[i].title) << caption;
        EXPECT_EQ(expected.groups[i].items, groups[i].items) << groups[i].title;
        EXPECT_EQ(expected.groups[i].chosen, groups[i].chosen) << groups[i].title;
    }
    return expected.answer;
}

} // namespace rovik::test

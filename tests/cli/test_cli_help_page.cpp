// The help file's command line section lists every command of the tool: a new command cannot be
// forgotten there.
#include "cli/Cli.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik::cli {
namespace {

// The text of the help file's section `id`, from its heading to the next one.
std::string helpSection(const std::string& id) {
    const std::string html =
        test::TempFolder::read(std::string(ROVIK_FIXTURES) + "/../../resources/start/rovikhelp.html");
    const size_t start = html.find("<h2 id=\"" + id + "\"");
    if (start == std::string::npos) return {};
    return html.substr(start, html.find("<h2", start + 1) - start);
}

TEST(CliHelpPage, ListsEveryCommand) {
    const std::string section = helpSection("cli");
    ASSERT_FALSE(section.empty()) << "rovikhelp.html has no section id=\"cli\"";
    for (const Command* command : commands())
        EXPECT_NE(std::string::npos,
                  section.find(std::string("<code>rovik-cli ") + command->name + "</code>"))
            << "rovik-cli command '" << command->name
            << "' is missing from rovikhelp.html, section #cli (コマンドライン rovik-cli)";
    EXPECT_NE(std::string::npos, section.find("rovik-cli --version"));
}

} // namespace
} // namespace rovik::cli

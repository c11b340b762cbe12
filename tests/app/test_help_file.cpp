// The help file shipped in resources/start: F1 opens it at a window's topic id, so every topic
// must have its section, and the page must stand alone (no files or sites of its own).
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <regex>
#include <set>
#include <string>

namespace {

const std::string kHelpPath = std::string(ROVIK_FIXTURES) + "/../../resources/start/rovikhelp.html";

std::string readHelp() {
    std::ifstream in(kHelpPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> matches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        found.insert((*it)[1].str());
    return found;
}

TEST(HelpFile_Topics, EveryWindowTopicHasItsSection) {
    const std::string html = readHelp();
    ASSERT_FALSE(html.empty()) << kHelpPath;
    const std::set<std::string> ids = matches(html, std::regex(R"re(id="([^"]+)")re"));
    for (const char* topic :
         {"topic23", "topic24", "topic25", "topic26", "topic10", "topic11", "topic10-title", "topic10-lines", "topic9",
          "targets", "topic24-find", "errorlog", "import-text", "import-5tq", "about"})
        EXPECT_EQ(1u, ids.count(topic)) << topic;
    for (const std::string& link : matches(html, std::regex(R"re(href="#([^"]+)")re")))
        EXPECT_EQ(1u, ids.count(link)) << "link to a missing section: " << link;
}

TEST(HelpFile_Page, IsUtf8AndStandsAlone) {
    const std::string html = readHelp();
    ASSERT_FALSE(html.empty()) << kHelpPath;
    EXPECT_NE(std::string::npos, html.find("<meta charset=\"UTF-8\">"));
    EXPECT_NE(std::string::npos, html.find("<html lang=\"ja\">"));
    for (const char* outside : {"src=", "<link", "url(", "@import", "http:", "https:"})
        EXPECT_EQ(std::string::npos, html.find(outside)) << outside;
    for (const std::string& link : matches(html, std::regex(R"re(href="([^"]*)")re")))
        EXPECT_EQ('#', link.empty() ? '\0' : link[0]) << link;
}

} // namespace

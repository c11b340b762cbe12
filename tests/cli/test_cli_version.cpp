// One version everywhere: rovik-cli, the about box, the package, the man page and the metainfo.
#include "settings/ProgramValues.h"
#include "settings/Version.h"
#include "support/TempFolder.h"

#include "cli/CliRun.h"

#include <gtest/gtest.h>

namespace rovik::cli {
namespace {

TEST(CliVersion, PrintsTheVersionAndSucceeds) {
    const test::CliResult r = test::runCli({"--version"});
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("rovik-cli 0.51\n", r.out);
    EXPECT_EQ("", r.err);
}

TEST(CliVersion, AboutBoxShowsTheSameVersion) {
    EXPECT_EQ("Version 0.51", ProgramValues().versionText);
}

// The shipped texts that name the version by hand must follow project(VERSION).
TEST(CliVersion, ManPageAndMetainfoNameTheSameVersion) {
    const std::string resources = std::string(ROVIK_FIXTURES) + "/../../resources/";
    const std::string man = test::TempFolder::read(resources + "man/rovik-cli.1");
    const std::string metainfo = test::TempFolder::read(resources + "desktop/org.example.Rovik.metainfo.xml");
    EXPECT_NE(std::string::npos, man.find(std::string("\"Rovik ") + kVersion + "\"")) << "man page header";
    EXPECT_NE(std::string::npos, metainfo.find(std::string("<release version=\"") + kVersion + "\""))
        << "metainfo release";
}

} // namespace
} // namespace rovik::cli

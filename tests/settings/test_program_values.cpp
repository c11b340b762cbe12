#include "settings/ProgramValues.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

using Lines = std::vector<std::string>;

ProgramValues withSettings(Lines lines) {
    ProgramValues values;
    values.settings = std::move(lines);
    return values;
}

TEST(Settings_AddRecentFile, FollowsTheListRules) {
    const struct {
        const char* what;
        Lines before;
        std::string path;
        Lines after;
    } cases[] = {
        {"five bytes recorded", {"q", ""}, "a.txt", {"q", "a.txt", ""}},
        {"four bytes ignored", {"q", ""}, "a.tx", {"q", ""}},
        {"one line never records", {"q"}, "/x/a.txt", {"q"}},
        {"empty list untouched", {}, "/x/a.txt", {}},
        {"already newest", {"q", "/a.txt", "/b.txt"}, "/a.txt", {"q", "/a.txt", "/b.txt"}},
        {"moves up from line 5",
         {"q", "/1.txt", "/2.txt", "/3.txt", "/4.txt"},
         "/4.txt",
         {"q", "/4.txt", "/1.txt", "/2.txt", "/3.txt"}},
        {"case counts", {"q", "/A.txt"}, "/a.txt", {"q", "/a.txt", "/A.txt"}},
        {"tenth path drops the oldest",
         {"q", "/1.txt", "/2.txt", "/3.txt", "/4.txt", "/5.txt", "/6.txt", "/7.txt", "/8.txt", "/9.txt"},
         "/0.txt",
         {"q", "/0.txt", "/1.txt", "/2.txt", "/3.txt", "/4.txt", "/5.txt", "/6.txt", "/7.txt", "/8.txt"}},
    };
    for (const auto& c : cases) {
        ProgramValues values = withSettings(c.before);
        AddRecentFile(values, c.path);
        EXPECT_EQ(c.after, values.settings) << c.what;
    }
}

TEST(Settings_RecentFiles, SkipsTheQuizLineAndEmptyLines) {
    ProgramValues values = withSettings({"1\t0", "", "/a.txt", "/b.pdb"});
    EXPECT_EQ((Lines{"/a.txt", "/b.pdb"}), recentFiles(values));
}

TEST(Settings_LoadSave, FirstStartHasTwoEmptyLines) {
    test::TempFolder folder;
    test::CurrentFolder here(folder.path());
    ProgramValues values;
    LoadSettings(values);
    EXPECT_EQ(folder.path(), values.startFolder);
    EXPECT_EQ(folder.path(), values.dataFolder);
    EXPECT_EQ((Lines{"", ""}), values.settings);
    values.settings[0] = "3\t0\t0\t0\t1\t0\t2";
    ASSERT_TRUE(SaveSettings(values));
    EXPECT_EQ("3\t0\t0\t0\t1\t0\t2\r\n\r\n", test::TempFolder::read(folder.file("Rovik.ini")));
}

TEST(Settings_LoadSave, RoundTripsShiftJisPaths) {
    test::TempFolder folder;
    folder.write("Rovik.ini", "0\t-1\r\n/home/\x95\x5C/a.txt\nlast");
    test::CurrentFolder here(folder.path());
    ProgramValues values;
    LoadSettings(values);
    EXPECT_EQ((Lines{"0\t-1", "/home/表/a.txt", "last"}), values.settings);
    ASSERT_TRUE(SaveSettings(values));
    EXPECT_EQ("0\t-1\r\n/home/\x95\x5C/a.txt\r\nlast\r\n", test::TempFolder::read(folder.file("Rovik.ini")));
}

TEST(Settings_FromBytes, SplitsAtEveryLineEndAndConverts) {
    const struct {
        const char* what;
        std::string bytes;
        Lines settings;
    } cases[] = {
        {"empty file", "", {}},
        {"CR LF, LF and CR", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"empty lines kept", "\r\n\r\n", {"", ""}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"Shift-JIS path", "/\x95\x5C/a.txt\r\n", {"/表/a.txt"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.settings, settingsFromBytes(c.bytes)) << c.what;
}

TEST(Settings_LoadSave, UsesTheCurrentFolderAtStart) {
    test::TempFolder one, two;
    one.write("Rovik.ini", "from one\r\n");
    two.write("Rovik.ini", "from two\r\n");
    ProgramValues values;
    {
        test::CurrentFolder here(two.path());
        LoadSettings(values);
    }
    EXPECT_EQ(Lines{"from two"}, values.settings);
    values.settings.push_back("/new/path.txt");
    ASSERT_TRUE(SaveSettings(values)); // goes back to the start folder first
    EXPECT_EQ("from two\r\n/new/path.txt\r\n", test::TempFolder::read(two.file("Rovik.ini")));
    EXPECT_EQ("from one\r\n", test::TempFolder::read(one.file("Rovik.ini")));
}

TEST(Settings_LoadSave, FailedWriteReportsAndKeepsTheFile) {
    test::TempFolder folder;
    folder.write("Rovik.ini", "old\r\n");
    ProgramValues values;
    values.startFolder = folder.file("missing-folder");
    values.settings = {"new"};
    std::string error;
    EXPECT_FALSE(SaveSettings(values, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ("old\r\n", test::TempFolder::read(folder.file("Rovik.ini")));
}

} // namespace
} // namespace rovik

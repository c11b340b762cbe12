#include "settings/ProgramValues.h"

#include "platform/FileIo.h"
#include "platform/TextEncoding.h"
#include "support/HostileNames.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace rovik {
namespace {

using Lines = std::vector<std::string>;

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

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
        {"characters Shift-JIS lacks are not recorded", {"q", ""}, "/home/jürgen/a.txt", {"q", ""}},
        {"Shift-JIS characters are", {"q", ""}, "/home/表/a.txt", {"q", "/home/表/a.txt", ""}},
        {"longer than a settings line is not recorded", {"q", ""}, "/" + std::string(5000, 'a'), {"q", ""}},
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

// On Windows the settings file of a start folder such as "起動" read as missing and was then
// overwritten at close.
TEST(Settings_LoadSave, JapaneseStartFolderKeepsItsFile) {
    test::TempFolder folder;
    const std::string start = folder.file("起動 フォルダ");
    std::filesystem::create_directory(nativePath(start));
    folder.write("起動 フォルダ/Rovik.ini", "1\t0\r\n/a.txt\r\n");
    test::CurrentFolder here(start);
    ProgramValues values;
    LoadSettings(values);
    EXPECT_EQ((Lines{"1\t0", "/a.txt"}), values.settings);
    ASSERT_TRUE(SaveSettings(values));
    EXPECT_EQ("1\t0\r\n/a.txt\r\n", test::TempFolder::read(start + "/Rovik.ini"));
}

// Every hostile name as the start folder keeps its settings file.
TEST(Settings_LoadSave, HostileStartFoldersKeepTheirFile) {
#ifdef _WIN32
    // Names Windows itself refuses (control characters, quotes, devices, bytes that are no UTF-16
    // text) or cannot reach (over 260).
    const std::set<std::string> impossible = {"newline", "cr", "tab", "shell", "win-reserved", "long-255"};
    const bool textOnly = true;
#else
    const std::set<std::string> impossible;
    const bool textOnly = false;
#endif
    for (const test::HostileName& name : test::hostileNames()) {
        if (impossible.count(name.id) || (textOnly && !isValidUtf8(name.bytes))) continue;
        test::TempFolder folder;
        const std::string start = folder.file("p/" + name.bytes);
        std::filesystem::create_directories(nativePath(start));
        folder.write("p/" + name.bytes + "/Rovik.ini", "2\t0\r\n/a.txt\r\n");
        test::CurrentFolder here(start);
        ProgramValues values;
        LoadSettings(values);
        EXPECT_EQ((Lines{"2\t0", "/a.txt"}), values.settings) << name.id;
        values.settings.push_back("/b.txt");
        ASSERT_TRUE(SaveSettings(values)) << name.id;
        EXPECT_EQ("2\t0\r\n/a.txt\r\n/b.txt\r\n", test::TempFolder::read(start + "/Rovik.ini")) << name.id;
    }
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
        {"over-long line read as empty",
         "q\r\n" + std::string(5000, 'x') + "\r\n/a.txt",
         {"q", "", "/a.txt"}},
        {"line of a path's length kept", std::string(4096, 'x'), {std::string(4096, 'x')}},
        {"bytes that are no Shift-JIS read as empty", "q\r\n/\x81/a.txt\r\n", {"q", ""}},
        {"at most 19 lines", repeated("l\r\n", 30), Lines(19, "l")},
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

namespace rovik {
namespace {
namespace fs = std::filesystem;

TEST(Settings_LoadSave, EmptyFileIsANewListAndIsWrittenAtClose) {
    test::TempFolder folder;
    folder.write("Rovik.ini", "");
    test::CurrentFolder here(folder.path());
    ProgramValues values;
    LoadSettings(values);
    EXPECT_EQ((Lines{"", ""}), values.settings);
    AddRecentFile(values, "/x/a.txt");
    ASSERT_TRUE(SaveSettings(values));
    EXPECT_EQ("\r\n/x/a.txt\r\n\r\n", test::TempFolder::read(folder.file("Rovik.ini")));
}

TEST(Settings_LoadSave, HugeLineCostsOnlyThatLine) {
    test::TempFolder folder;
    folder.write("Rovik.ini", "1\t0\r\n" + std::string(20u << 20, 'x') + "\r\n/a.txt\r\n");
    test::CurrentFolder here(folder.path());
    ProgramValues values;
    LoadSettings(values);
    EXPECT_EQ((Lines{"1\t0", "", "/a.txt"}), values.settings);
}

TEST(Settings_LoadSave, PathsShiftJisCannotHoldAreNeverWrittenChanged) {
    test::TempFolder folder;
    ProgramValues values = withSettings({"q", "/home/jürgen/a.txt", "/b.txt"});
    values.startFolder = folder.path();
    ASSERT_TRUE(SaveSettings(values));
    EXPECT_EQ("q\r\n\r\n/b.txt\r\n", test::TempFolder::read(folder.file("Rovik.ini")));
}

// A settings file the user cannot read or may not write is named and never replaced. (Checked by
// its mode bits, so the cases hold when the tests run as root too.)
TEST(Settings_LoadSave, UnreadableOrReadOnlyFileIsNamedAndKept) {
#ifdef _WIN32
    GTEST_SKIP() << "a file's mode cannot make it unreadable on Windows";
#endif
    const struct {
        const char* what;
        fs::perms mode;
        bool directory;
        bool readProblem;
        Lines loaded;
    } cases[] = {
        {"mode 000", fs::perms::none, false, true, {"", ""}},
        {"mode 444",
         fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
         false,
         false,
         {"old", "/a.txt"}},
        {"a folder in its place", fs::perms::owner_all, true, true, {"", ""}},
    };
    for (const auto& c : cases) {
        test::TempFolder folder;
        const std::string path = folder.file("Rovik.ini");
        if (c.directory)
            fs::create_directory(path);
        else
            folder.write("Rovik.ini", "old\r\n/a.txt\r\n");
        fs::permissions(path, c.mode);
        test::CurrentFolder here(folder.path());
        ProgramValues values;
        LoadSettings(values);
        EXPECT_EQ(c.loaded, values.settings) << c.what;
        if (c.readProblem)
            EXPECT_EQ("設定ファイルを読めません。最近使ったファイルと出題設定は保存されません。\n" + path,
                      values.settingsProblem)
                << c.what;
        else
            EXPECT_EQ("", values.settingsProblem) << c.what;
        const std::string reason = settingsNotSavedReason(values);
        EXPECT_EQ("設定ファイルに書き込めないため、最近使ったファイルと出題設定は保存されません。\n" + path,
                  reason)
            << c.what;
        AddRecentFile(values, "/new.txt");
        std::string error;
        EXPECT_FALSE(SaveSettings(values, &error)) << c.what;
        EXPECT_EQ(reason, error) << c.what;
        fs::permissions(path, fs::perms::owner_all);
        EXPECT_EQ(c.directory, fs::is_directory(path)) << c.what;
        if (!c.directory) EXPECT_EQ("old\r\n/a.txt\r\n", test::TempFolder::read(path)) << c.what;
    }
}

} // namespace
} // namespace rovik

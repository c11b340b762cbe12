#include "platform/FileIo.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace rovik {
namespace {

struct FailAfter {
    explicit FailAfter(std::int64_t bytes) { setWriteFailureAfterForTesting(bytes); }
    ~FailAfter() { setWriteFailureAfterForTesting(-1); }
};

size_t filesIn(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(FileIo_ResolvesInside, FollowsLinksOnTheWayAndAtTheEnd) {
#ifdef _WIN32
    GTEST_SKIP() << "links need rights Windows users seldom have";
#endif
    test::TempFolder t;
    namespace fs = std::filesystem;
    fs::create_directories(t.file("box/sub"));
    fs::create_directories(t.file("outside"));
    t.write("outside/data.txt", "keep");
    fs::create_directory_symlink(t.file("outside"), t.file("box/away"));
    fs::create_directory_symlink("sub", t.file("box/near"));
    fs::create_symlink(t.file("outside/data.txt"), t.file("box/sub/file.pdb"));
    fs::create_symlink(t.file("nowhere/x"), t.file("box/sub/dangling.pdb"));
    const struct {
        const char* path;
        bool inside;
    } cases[] = {
        {"box/sub/new.pdb", true},       {"box/near/new.pdb", true},     {"box", true},
        {"box/away/new.pdb", false},     {"box/sub/file.pdb", false},    {"box/sub/../../outside", false},
        {"box/none/deeper/x.pdb", true}, {"box/sub/dangling.pdb", true}, {"boxer", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(resolvesInside(t.file(c.path), t.file("box"), nullptr), c.inside) << c.path;
    std::string resolved;
    EXPECT_FALSE(resolvesInside(t.file("box/away/new.pdb"), t.file("box/"), &resolved));
    EXPECT_EQ(resolved, fs::canonical(t.file("outside")).string() + "/new.pdb");
}

TEST(FileIo_Atomic, ReplacesTheWholeFile) {
    test::TempFolder folder;
    std::string path = folder.write("a.txt", "old content");
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ("new", test::TempFolder::read(path));
    EXPECT_EQ(1u, filesIn(folder.path()));
}

TEST(FileIo_Atomic, FailureHalfwayKeepsTheOldFile) {
    test::TempFolder folder;
    std::string path = folder.write("a.txt", "old content");
    FailAfter fail(3);
    std::string error;
    EXPECT_FALSE(writeFileAtomically(path, "new content that is long", &error));
    EXPECT_EQ("old content", test::TempFolder::read(path));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(1u, filesIn(folder.path())) << "the temporary file is removed";
}

#ifdef _WIN32
TEST(FileIo_Atomic, ReadOnlyFileIsRefusedAndKept) {
    test::TempFolder folder;
    std::string path = folder.write("a.txt", "old");
    const std::wstring wide = nativePath(path).wstring();
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string error;
    EXPECT_FALSE(writeFileAtomically(path, "new", &error));
    EXPECT_EQ(path + ": Permission denied", error);
    EXPECT_EQ("old", test::TempFolder::read(path));
    EXPECT_EQ(1u, filesIn(folder.path())) << "the temporary file is removed";
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FileIo_Atomic, JapaneseFileNamesWork) {
    test::TempFolder folder;
    const std::string path = folder.file("問題集データ.txt");
    ASSERT_TRUE(writeFileAtomically(path, "first"));
    ASSERT_TRUE(writeFileAtomically(path, "second"));
    std::string bytes;
    ASSERT_TRUE(readWholeFile(path, bytes));
    EXPECT_EQ("second", bytes);
    EXPECT_TRUE(fileExists(path));
    // The name reached the file system as these UTF-16 characters, not as ANSI guesses.
    bool found = false;
    for (auto& e : std::filesystem::directory_iterator(nativePath(folder.path())))
        found = found || e.path().filename().wstring() == L"\u554F\u984C\u96C6\u30C7\u30FC\u30BF.txt";
    EXPECT_TRUE(found);
}
#else
TEST(FileIo_Atomic, ReadOnlyFolderFailsAndKeepsTheFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    test::TempFolder folder;
    std::string path = folder.write("a.txt", "old");
    std::filesystem::permissions(folder.path(),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(writeFileAtomically(path, "new"));
    EXPECT_EQ("old", test::TempFolder::read(path));
}

TEST(FileIo_Atomic, ReplacesTheFileALinkPointsToAndKeepsTheLink) {
    test::TempFolder folder;
    const std::string real = folder.write("real.txt", "old");
    const std::string link = folder.file("link.txt");
    std::filesystem::create_symlink(real, link);
    ASSERT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ("new", test::TempFolder::read(real));
    EXPECT_EQ(2u, filesIn(folder.path()));
}

TEST(FileIo_Atomic, KeepsThePermissionsOfTheReplacedFile) {
    namespace fs = std::filesystem;
    test::TempFolder folder;
    const std::string path = folder.write("private.txt", "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeFileAtomically(path, "new"));
    EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write, fs::status(path).permissions());
    EXPECT_EQ("new", test::TempFolder::read(path));
}
#endif

TEST(FileIo_Atomic, MissingFolderFails) {
    test::TempFolder folder;
    std::string error;
    EXPECT_FALSE(writeFileAtomically(folder.file("no/such/file.txt"), "x", &error));
    EXPECT_NE(std::string::npos, error.find("file.txt"));
}

TEST(FileIo_Read, ReadsBytesAndRefusesFolders) {
    test::TempFolder folder;
    std::string bytes;
    ASSERT_TRUE(readWholeFile(folder.write("b.bin", std::string("a\0b\r\n", 5)), bytes));
    EXPECT_EQ(std::string("a\0b\r\n", 5), bytes);
    EXPECT_FALSE(readWholeFile(folder.path(), bytes));
    EXPECT_FALSE(readWholeFile(folder.file("missing"), bytes));
}

TEST(FileIo_Read, RefusesFilesLargerThanTheLimit) {
    test::TempFolder folder;
    const std::string path = folder.write("huge.txt", "");
    std::filesystem::resize_file(path, kMaxReadBytes + 1); // sparse: nothing is written
    std::string bytes = "left over", error;
    EXPECT_FALSE(readWholeFile(path, bytes, &error));
    EXPECT_EQ(path + ": File too large", error);
    EXPECT_EQ("", bytes);
    std::filesystem::resize_file(path, 5);
    ASSERT_TRUE(readWholeFile(path, bytes, &error));
    EXPECT_EQ(std::string(5, '\0'), bytes);
}

TEST(FileIo_Paths, SplitsAndJoins) {
    EXPECT_EQ("/a/b", joinPath("/a", "b"));
    EXPECT_EQ("/a/b", joinPath("/a/", "b"));
    EXPECT_EQ("b", joinPath("", "b"));
    EXPECT_EQ("/a", folderOf("/a/b.txt"));
    EXPECT_EQ("/", folderOf("/b.txt"));
    EXPECT_EQ("", folderOf("b.txt"));
    EXPECT_EQ("b.txt", fileNameOf("/a/b.txt"));
}

} // namespace
} // namespace rovik

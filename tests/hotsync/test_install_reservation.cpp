#include "hotsync/InstallReservation.h"

#include "hotsync/PalmDesktopFixture.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

namespace fs = std::filesystem;
using test::PalmDesktop;
using test::TempFolder;

struct InstallTest : ::testing::Test {
    PalmDesktop desk;
    test::ScriptedPrompter prompter;
    InstallRequest request;
    std::vector<std::string> written; // paths the fake PDB writer was given
    int writeResult = 0;

    WritePdbFunction writer() {
        return [this](const std::string& path) {
            written.push_back(path);
            if (writeResult == 0) test::writeFile(path, "PDB of " + path);
            return writeResult;
        };
    }
    std::unique_ptr<InstallReservation> open(bool readyMade, const std::string& file = "Rovik.prc") {
        request = {};
        request.readyMade = readyMade;
        if (readyMade) request.source = request.target = file;
        auto r = std::make_unique<InstallReservation>(request, desk.start, prompter, writer());
        r->FormCreate();
        return r;
    }
    void expectPlain(const std::string& text) { prompter.expectMessage(text, "", Buttons::Ok, Icon::None); }
    void expectError(const std::string& text) {
        prompter.expectMessage(text, "エラー", Buttons::Ok, Icon::Error);
    }
};

TEST_F(InstallTest, StartUpListsUsersAndCreatesOnlyThePreselectedInstallFolder) {
    desk.install();
    auto r = open(true);
    EXPECT_TRUE(r->showsUsers());
    EXPECT_EQ((std::vector<std::string>{"Taro", "Hanako", "Jiro"}), r->userNames());
    EXPECT_EQ(1, r->chosenIndex());
    EXPECT_EQ("Hanako", r->chosenUserName());
    EXPECT_EQ(2u, r->chosenUserId());
    EXPECT_EQ(desk.palm, r->palmDesktopFolder());
    EXPECT_EQ(desk.installFolder("HanakoS"), r->installFolder());
    EXPECT_TRUE(fs::is_directory(desk.installFolder("HanakoS")));
    EXPECT_FALSE(fs::exists(desk.installFolder("TaroY")));
    EXPECT_FALSE(fs::exists(desk.installFolder("JiroK")));
}

TEST_F(InstallTest, LinkedInstallFileLeadingOutsideIsNotWrittenThrough) {
#ifdef _WIN32
    GTEST_SKIP() << "links need rights Windows users seldom have";
#endif
    desk.install();
    test::writeFile(desk.start + "/Rovik.prc", "handheld program");
    fs::create_directories(desk.installFolder("HanakoS"));
    const std::string theirs = desk.root.write("theirs.txt", "their file");
    fs::create_symlink(theirs, desk.installFolder("HanakoS") + "/Rovik.prc");
    auto r = open(true);
    expectError(desk.installFolder("HanakoS") + "/Rovik.prc はリンクで " + fs::canonical(theirs).string() +
                " を指しています。" + desk.palm + " の外に出るため、書き込みませんでした。");
    EXPECT_TRUE(r->Button1Click("Rovik"));
    EXPECT_TRUE(prompter.done());
    EXPECT_FALSE(request.done);
    EXPECT_EQ("their file", TempFolder::read(theirs));
    EXPECT_NE(1u, desk.installFlag(2));
}

TEST_F(InstallTest, UserFolderLinkedOutsideGetsNoInstallFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "links need rights Windows users seldom have";
#endif
    desk.install();
    fs::remove_all(desk.palm + "/HanakoS");
    fs::create_directories(desk.root.file("outside"));
    fs::create_directory_symlink(desk.root.file("outside"), desk.palm + "/HanakoS");
    expectError(desk.palm + "/HanakoS はリンクで " + fs::canonical(desk.root.file("outside")).string() +
                " を指しています。" + desk.palm + " の外に出るため、書き込みませんでした。");
    auto r = open(true);
    EXPECT_TRUE(prompter.done());
    EXPECT_FALSE(r->showsUsers());
    EXPECT_FALSE(fs::exists(desk.root.file("outside/Install")));
}

TEST_F(InstallTest, WithoutAFlaggedUserTheFirstIsPreselected) {
    desk.install({{5, "A", "AFolder"}, {6, "B", "BFolder"}}, "B");
    auto r = open(true);
    EXPECT_EQ(0, r->chosenIndex());
    EXPECT_EQ("A", r->chosenUserName());
    EXPECT_TRUE(fs::is_directory(desk.installFolder("AFolder")));
}

TEST_F(InstallTest, ReadyMadeFileGoesToThePreselectedUserWithoutQuestions) {
    desk.install();
    test::writeFile(desk.start + "/Rovik.prc", "handheld program");
    fs::create_directories(desk.installFolder("HanakoS"));
    test::writeFile(desk.installFolder("HanakoS") + "/Rovik.prc", "older version");
    auto r = open(true);
    EXPECT_TRUE(r->Button1Click("Rovik"));
    EXPECT_TRUE(request.done);
    EXPECT_EQ(desk.start + "/Rovik.prc", request.source);
    EXPECT_EQ(desk.installFolder("HanakoS") + "/Rovik.prc", request.target);
    EXPECT_EQ("handheld program", TempFolder::read(request.target));
    EXPECT_EQ(1u, desk.installFlag(2));
    EXPECT_FALSE(desk.installFlag(12));
    EXPECT_TRUE(written.empty());
}

TEST_F(InstallTest, ChoosingAnotherUserInstallsForThatUser) {
    desk.install();
    test::writeFile(desk.start + "/SampleQA.pdb", "sample");
    fs::create_directories(desk.installFolder("JiroK"));
    auto r = open(true, "SampleQA.pdb");
    r->ComboBox1Change(2);
    EXPECT_EQ("Jiro", r->chosenUserName());
    EXPECT_TRUE(r->Button1Click("SampleQA"));
    EXPECT_TRUE(request.done);
    EXPECT_EQ("sample", TempFolder::read(desk.installFolder("JiroK") + "/SampleQA.pdb"));
    EXPECT_EQ(1u, desk.installFlag(12));
    EXPECT_FALSE(desk.installFlag(2));
    EXPECT_EQ(0u, desk.installFlag(1));
}

TEST_F(InstallTest, EveryUserGetsTheInstallFolderAtInstall) {
    for (int index : {0, 1, 2}) {
        PalmDesktop fresh;
        fresh.install();
        test::writeFile(fresh.start + "/Rovik.prc", "p");
        request = {};
        request.readyMade = true;
        request.source = request.target = "Rovik.prc";
        InstallReservation r(request, fresh.start, prompter, writer());
        r.FormCreate();
        r.ComboBox1Change(index);
        const std::string folder = PalmDesktop::threeUsers()[size_t(index)].folder;
        EXPECT_TRUE(r.Button1Click("Rovik")) << index;
        EXPECT_TRUE(request.done) << index;
        EXPECT_EQ("p", TempFolder::read(fresh.installFolder(folder) + "/Rovik.prc")) << index;
        EXPECT_EQ(1u, fresh.installFlag(PalmDesktop::threeUsers()[size_t(index)].id)) << index;
    }
}

TEST_F(InstallTest, IndexOutsideTheListKeepsTheChoice) {
    desk.install();
    auto r = open(true);
    for (int index : {-1, 3, 99}) {
        r->ComboBox1Change(index);
        EXPECT_EQ(1, r->chosenIndex()) << index;
    }
}

// An install that cannot complete says what is missing and is never reported as done.
TEST_F(InstallTest, IncompleteInstallsSayWhatIsMissing) {
    const struct {
        const char* what;
        const char* file;
        bool present;
        bool managerKey;
        std::vector<std::string> messages; // "{start}" stands for the start folder
        bool copied;
    } cases[] = {
        {"handheld program not shipped",
         "Rovik.prc",
         false,
         true,
         {"Rovik.prc が見つかりません。\nRovik.prc "
          "を起動フォルダ（{start}）に置いてから、もう一度インストールして"
          "ください。"},
         false},
        {"sample data missing",
         "SampleQA.pdb",
         false,
         true,
         {"SampleQA.pdb が見つかりません。\nSampleQA.pdb "
          "を起動フォルダ（{start}）に置いてから、もう一度インストー"
          "ルしてください。"},
         false},
        {"install flag key missing",
         "Rovik.prc",
         true,
         false,
         {"Registryを開けません",
          "Rovik.prc "
          "をインストールフォルダにコピーしましたが、インストールフラグを設定できませんでした。\nインスト"
          "ール予約は完了していません。"},
         true},
    };
    for (const auto& c : cases) {
        PalmDesktop fresh;
        fresh.writeRegistry("Hanako", true, c.managerKey);
        fresh.writeUsers(PalmDesktop::threeUsers());
        if (c.present) test::writeFile(fresh.start + "/" + c.file, "p");
        request = {};
        request.readyMade = true;
        request.source = request.target = c.file;
        InstallReservation r(request, fresh.start, prompter, writer());
        r.FormCreate();
        for (std::string text : c.messages) {
            if (size_t at = text.find("{start}"); at != std::string::npos) text.replace(at, 7, fresh.start);
            if (text == "Registryを開けません")
                expectPlain(text);
            else
                expectError(text);
        }
        EXPECT_TRUE(r.Button1Click("Rovik")) << c.what;
        EXPECT_TRUE(prompter.done()) << c.what;
        EXPECT_FALSE(request.done) << c.what;
        EXPECT_TRUE(request.failed) << c.what;
        EXPECT_EQ(c.copied, fs::exists(fresh.installFolder("HanakoS") + "/" + c.file)) << c.what;
    }
}

TEST_F(InstallTest, EditedNameWritesAndInstallsThatPdb) {
    desk.install();
    auto r = open(false);
    EXPECT_TRUE(r->Button1Click("Quiz1"));
    EXPECT_TRUE(request.done);
    EXPECT_EQ((std::vector<std::string>{desk.start + "/Quiz1.pdb"}), written);
    EXPECT_EQ(desk.start + "/Quiz1.pdb", request.source);
    EXPECT_EQ(desk.installFolder("HanakoS") + "/Quiz1.pdb", request.target);
    EXPECT_EQ(TempFolder::read(request.source), TempFolder::read(request.target));
    EXPECT_EQ(1u, desk.installFlag(2));
}

TEST_F(InstallTest, ExistingPdbAsksBeforeOverwriting) {
    const struct {
        Answer answer;
        bool done;
    } cases[] = {{Answer::No, false}, {Answer::Yes, true}};
    for (const auto& c : cases) {
        PalmDesktop fresh;
        fresh.install();
        written.clear();
        test::writeFile(fresh.start + "/Quiz1.pdb", "old");
        request = {};
        InstallReservation r(request, fresh.start, prompter, writer());
        r.FormCreate();
        prompter.expectMessage(fresh.start + "/Quiz1.pdbはすでに存在します。上書きしますか？", "",
                               Buttons::YesNo, Icon::Question, c.answer);
        EXPECT_TRUE(r.Button1Click("Quiz1"));
        EXPECT_EQ(c.done, request.done);
        EXPECT_EQ(c.done ? 1u : 0u, written.size());
        EXPECT_EQ(c.done, fs::exists(fresh.installFolder("HanakoS") + "/Quiz1.pdb"));
        EXPECT_EQ(c.done ? std::optional<std::uint32_t>(1) : std::nullopt, fresh.installFlag(2));
        if (!c.done) {
            EXPECT_EQ("old", TempFolder::read(fresh.start + "/Quiz1.pdb"));
        }
    }
}

TEST_F(InstallTest, FailedPdbWriteInstallsNothing) {
    desk.install();
    test::writeFile(desk.start + "/Quiz1.pdb", "stale data");
    auto r = open(false);
    writeResult = -1;
    prompter.expectMessage(desk.start + "/Quiz1.pdbはすでに存在します。上書きしますか？", "", Buttons::YesNo,
                           Icon::Question, Answer::Yes);
    // The writer tells why it wrote nothing; the install adds no second message.
    EXPECT_TRUE(r->Button1Click("Quiz1"));
    EXPECT_TRUE(request.failed);
    EXPECT_FALSE(request.done);
    EXPECT_FALSE(fs::exists(desk.installFolder("HanakoS") + "/Quiz1.pdb"))
        << "the stale file is not installed";
    EXPECT_FALSE(desk.installFlag(2));
}

TEST_F(InstallTest, EmptyNameIsRefusedAndLongNamesAreShortenedOnlyWhenConfirmed) {
    desk.install();
    auto r = open(false);
    expectError("DB名称を入力してください。");
    EXPECT_FALSE(r->Button1Click("")) << "the dialog stays open";
    EXPECT_FALSE(fs::exists(desk.start + "/.pdb"));
    EXPECT_FALSE(fs::exists(desk.installFolder("HanakoS") + "/.pdb"));

    const std::string longName = "Vocabulary_for_the_spring_exams_2026"; // 36 bytes
    const std::string question =
        "DB名称「" + longName +
        "」は31バイトを超えるため、Palmデバイス上のデータベース名は先頭31バイト以内の「"
        "Vocabulary_for_the_spring_exams」に短縮されます。\nこのままインストールしますか？";
    for (Answer answer : {Answer::No, Answer::Yes}) {
        prompter.expectMessage(question, "確認", Buttons::YesNo, Icon::Question, answer);
        EXPECT_EQ(answer == Answer::Yes, r->Button1Click(longName));
        EXPECT_EQ(answer == Answer::Yes, fs::exists(desk.start + "/" + longName + ".pdb"));
        EXPECT_EQ(answer == Answer::Yes, request.done);
    }
    EXPECT_TRUE(r->Button1Click("Exactly_thirty_one_bytes_long_x")) << "31 bytes: no question";
}

TEST_F(InstallTest, NamesLeavingTheFoldersAreRefused) {
    desk.install();
    auto r = open(false);
    for (const char* name : {"../escape", "..", "a/b", "/tmp/x", "a\\b", "C:quiz", "x\ny"}) {
        expectError(std::string("DB名称「") + name +
                    "」は使えません。\\ / : を含む名前や .. はフォルダの外を指すため指定できません。");
        EXPECT_FALSE(r->Button1Click(name)) << name << ": the dialog stays open";
        EXPECT_FALSE(request.done) << name;
    }
    EXPECT_TRUE(written.empty());
    EXPECT_FALSE(fs::exists(desk.root.file("escape.pdb")));
    EXPECT_FALSE(desk.installFlag(2));
}

TEST_F(InstallTest, UserFoldersLeavingThePalmDesktopFolderAreRefused) {
    for (const char* folder : {"..", "../../outside", "a/b", "C:", "."}) {
        PalmDesktop fresh;
        fresh.writeRegistry("Evil");
        fresh.root.write("Palm/users.dat", test::usersDatBytes({{9, "Evil", folder, 1}}));
        request = {};
        InstallReservation r(request, fresh.start, prompter, writer());
        r.FormCreate();
        EXPECT_TRUE(r.showsUsers()) << folder << ": listed, refused only at ｲﾝｽﾄｰﾙ";
        EXPECT_FALSE(fs::exists(fresh.root.file("Install"))) << folder;
        EXPECT_FALSE(fs::exists(fresh.palm + "/Install")) << folder;
        expectError(std::string("ユーザ「Evil」のフォルダ名「") + folder +
                    "」はPalm Desktopのフォルダの外を指すため使えません。");
        EXPECT_FALSE(r.Button1Click("Quiz1")) << folder;
        EXPECT_TRUE(written.empty()) << folder;
    }
}

TEST_F(InstallTest, MissingPalmDesktopGivesTheMessagesAndNoUsers) {
    auto expectNoPalm = [this] {
        expectPlain("Registryを開けません");
        prompter.expectMessage("", "Starting Hotsync error", Buttons::Ok, Icon::Error);
        expectPlain(test::kPalmSeparator + "users.datが開けません");
    };
    expectNoPalm();
    auto r = open(true);
    EXPECT_TRUE(prompter.done());
    EXPECT_FALSE(r->showsUsers());
    EXPECT_TRUE(r->userNames().empty());
    expectError("HotSyncユーザが見つからないため、インストールできません。");
    EXPECT_TRUE(r->Button1Click("Rovik"));
    EXPECT_FALSE(request.done);
}

TEST_F(InstallTest, LastUserMissingFromUsersDat) {
    desk.install(PalmDesktop::threeUsers(), "Saburo");
    expectPlain("Saburoが存在しません");
    auto r = open(true);
    EXPECT_FALSE(r->showsUsers());
    EXPECT_FALSE(fs::exists(desk.installFolder("HanakoS")));
}

TEST_F(InstallTest, InstallFolderThatCannotBeMade) {
    desk.writeRegistry();
    desk.root.write("Palm/users.dat", test::usersDatBytes(PalmDesktop::threeUsers()));
    expectPlain("Can't make install dir. " + desk.installFolder("HanakoS"));
    auto r = open(true);
    EXPECT_FALSE(r->showsUsers());
}

#ifndef _WIN32 // Windows does not enforce the read-only attribute of a folder
TEST_F(InstallTest, ReadOnlyInstallFolderCannotBeMade) {
    desk.install();
    fs::create_directories(desk.installFolder("HanakoS"));
    fs::permissions(desk.installFolder("HanakoS"),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    expectPlain("Can't make install dir. " + desk.installFolder("HanakoS"));
    auto r = open(true);
    EXPECT_FALSE(r->showsUsers());
}
#endif

TEST_F(InstallTest, UnsafeUserIsListedButOnlyThatUserIsRefused) {
    desk.writeRegistry("Evil");
    desk.writeUsers({{9, "Evil", "../outside", 1}, {3, "Safe", "SafeF", 0}});
    test::writeFile(desk.start + "/Rovik.prc", "p");
    auto r = open(true);
    EXPECT_TRUE(r->showsUsers());
    EXPECT_EQ((std::vector<std::string>{"Evil", "Safe"}), r->userNames());
    expectError("ユーザ「Evil」のフォルダ名「../outside」はPalm Desktopのフォルダの外を指すため使えません。");
    EXPECT_FALSE(r->Button1Click("Rovik"));
    r->ComboBox1Change(1);
    EXPECT_TRUE(r->Button1Click("Rovik"));
    EXPECT_TRUE(request.done);
    EXPECT_EQ(1u, desk.installFlag(3));
}

} // namespace
} // namespace rovik

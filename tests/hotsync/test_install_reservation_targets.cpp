// The install decisions with another target than Palm Desktop: the user box, the written PDB
// handed to the target, and the target's own words for success and failure.
#include "hotsync/InstallReservation.h"
#include "hotsync/JPilotTarget.h"

#include "PalmDesktopFixture.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

// Answers as told and remembers what it was given.
class FakeTarget : public InstallTarget {
public:
    TargetOutcome answer;
    bool withUsers = false;
    std::vector<std::string> given;
    TargetKind kind() const override { return TargetKind::PilotXfer; }
    std::string where() const override { return "/usr/bin/pilot-xfer -p usb:"; }
    bool hasUsers() const override { return withUsers; }
    std::vector<TargetUser> users(int& preselected, std::string& problem) override {
        problem.clear();
        preselected = 1;
        return {{"Taro", "TaroY", 1}, {"Hanako", "HanakoS", 2}};
    }
    TargetOutcome install(const std::string& file, const std::string& name, const TargetUser* user) override {
        given.push_back(TempFolder::read(file) + "|" + name + "|" + (user ? user->name : "-"));
        return answer;
    }
};

struct TargetReservationTest : ::testing::Test {
    TempFolder start;
    test::ScriptedPrompter prompter;
    InstallRequest request;
    FakeTarget target;
    WritePdbFunction writer = [](const std::string& path) {
        test::writeFile(path, "pdb");
        return 0;
    };
};

TEST_F(TargetReservationTest, OutcomeDecidesDoneOrFailed) {
    const struct {
        const char* name;
        bool users;
        bool ok;
        bool now;
        std::string given;
    } cases[] = {
        {"reserved", false, true, false, "pdb|Quiz.pdb|-"},
        {"installed now", false, true, true, "pdb|Quiz.pdb|-"},
        {"failed", false, false, false, "pdb|Quiz.pdb|-"},
        {"with users", true, true, false, "pdb|Quiz.pdb|Hanako"},
    };
    for (const auto& c : cases) {
        request = {};
        target.given.clear();
        target.withUsers = c.users;
        target.answer = {c.ok, c.now, c.ok ? "done text" : "failed at step 2"};
        InstallReservation r(request, start.path(), prompter, writer);
        r.useTarget(&target);
        r.FormCreate();
        EXPECT_EQ(r.showsTargetOnly(), !c.users) << c.name;
        EXPECT_EQ(r.targetLabel(), "pilot-xfer (/usr/bin/pilot-xfer -p usb:)");
        if (fs::exists(start.file("Quiz.pdb")))
            prompter.expectMessage(start.file("Quiz.pdb") + "はすでに存在します。上書きしますか？", "",
                                   Buttons::YesNo, Icon::Question, Answer::Yes);
        if (!c.ok) prompter.expectMessage("failed at step 2", "エラー", Buttons::Ok, Icon::Error);
        EXPECT_TRUE(r.Button1Click("Quiz")) << c.name;
        EXPECT_TRUE(prompter.done()) << c.name;
        EXPECT_EQ(target.given, std::vector<std::string>{c.given}) << c.name;
        EXPECT_EQ(request.done, c.ok) << c.name;
        EXPECT_EQ(request.failed, !c.ok) << c.name;
        EXPECT_EQ(request.installedNow, c.now) << c.name;
        EXPECT_EQ(request.doneText, c.ok ? "done text" : "") << c.name;
    }
}

TEST_F(TargetReservationTest, RefusedNameNeverReachesTheTarget) {
    InstallReservation r(request, start.path(), prompter, writer);
    r.useTarget(&target);
    r.FormCreate();
    prompter.expectMessage("DB名称を入力してください。", "エラー", Buttons::Ok, Icon::Error);
    EXPECT_FALSE(r.Button1Click(""));
    EXPECT_TRUE(target.given.empty());
    EXPECT_FALSE(request.done);
}

TEST_F(TargetReservationTest, ReadyMadeFileGoesToTheJPilotQueue) {
#ifdef _WIN32
    GTEST_SKIP() << "J-Pilot is one of Linux's install targets";
#endif
    test::writeFile(start.file("Rovik.prc"), "program");
    request.readyMade = true;
    request.source = request.target = "Rovik.prc";
    JPilotTarget jpilot(start.file(".jpilot/jpilot.install"), start.file("Install"));
    InstallReservation r(request, start.path(), prompter);
    r.useTarget(&jpilot);
    r.FormCreate();
    EXPECT_TRUE(r.Button1Click("Rovik"));
    EXPECT_TRUE(request.done);
    EXPECT_EQ(TempFolder::read(start.file(".jpilot/jpilot.install")), start.file("Install") + "/Rovik.prc\n");
}

} // namespace
} // namespace rovik

// Every file the program replaces, written while the write fails: part way through (the seam
// in platform/FileIo), into a folder that is missing, or into a "folder" that is a file. Each
// time the old file stays as it was, no temporary file is left behind, and the user is told.
// (Tests run as root in CI, where a read-only folder stops nothing; these three failures do.)
#include "cli/Cli.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "datalist/DataListLogic.h"
#include "hotsync/Hotsync.h"
#include "hotsync/InstallReservation.h"
#include "import/FiveChoice.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/Registry.h"
#include "quiz/QuizGenerator.h"
#include "quiz/QuizWindowLogic.h"
#include "settings/ProgramValues.h"

#include "datalist/FakeEditorView.h"
#include "hotsync/PalmDesktopFixture.h"
#include "import/FiveChoiceBytes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

namespace rovik {
namespace {

namespace fs = std::filesystem;

enum class Failure { PartWay, MissingFolder, FolderIsAFile, ReadOnlyTarget };
const Failure kAllFailures[] = {Failure::PartWay, Failure::MissingFolder, Failure::FolderIsAFile,
                                Failure::ReadOnlyTarget};

const char* failureName(Failure failure) {
    switch (failure) {
    case Failure::PartWay:
        return "write fails part way";
    case Failure::MissingFolder:
        return "folder missing";
    case Failure::FolderIsAFile:
        return "folder is a file";
    case Failure::ReadOnlyTarget:
        return "target is read-only";
    }
    return "?";
}

// The system's words for each failure, as the writers pass them on.
const char* reasonOf(Failure failure) {
    switch (failure) {
    case Failure::PartWay:
        return "No space left on device";
    case Failure::MissingFolder:
        return "No such file or directory";
    case Failure::FolderIsAFile:
        return "Not a directory";
    case Failure::ReadOnlyTarget:
        return "Permission denied";
    }
    return "?";
}

// Tells every message into one text; answers Ok or No; the open dialog gives `open`.
class TellingPrompter : public Prompter {
public:
    std::string told;
    std::optional<std::string> open;
    bool quietYes = false; // answers Yes to Yes/No questions without telling them
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon) override {
        if (quietYes && buttons == Buttons::YesNo) return Answer::Yes;
        told += " told[" + caption + ":" + text + "]";
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return open; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return 0; }
    std::optional<bool> chooseShowChoices() override { return true; }
};

// The folder a writer writes into, put into the failure's state.
class Place {
public:
    Place(Failure failure, std::string targetName, std::string oldBytes = {})
        : m_failure(failure), m_targetName(std::move(targetName)),
          m_oldBytes(oldBytes.empty() ? "old " + m_targetName + "\r\n" : std::move(oldBytes)) {
        fs::create_directory(root.file("place"));
        use(root.file("place"));
    }

    // Makes `folder` (which exists) the target's folder: it keeps an old target when the write is
    // to fail part way, else it is removed or replaced by a file.
    void use(const std::string& folder) {
        m_folder = folder;
        if (keepsOldTarget()) {
            test::writeFile(target(), oldBytes());
            // Read-only by its mode: refused even where the user could override it (root).
            if (m_failure == Failure::ReadOnlyTarget)
                fs::permissions(target(),
                                fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
            return;
        }
        fs::remove_all(folder);
        if (m_failure == Failure::FolderIsAFile) test::writeFile(folder, "a file, not a folder");
    }

    const std::string& folder() const { return m_folder; }
    std::string target() const { return joinPath(m_folder, m_targetName); }
    const std::string& oldBytes() const { return m_oldBytes; }

    // The old target byte for byte and nothing else in its folder; or still no folder at all.
    ::testing::AssertionResult untouched() const {
        if (m_failure == Failure::MissingFolder && fs::exists(m_folder))
            return ::testing::AssertionFailure() << m_folder << " was made";
        if (m_failure == Failure::FolderIsAFile && !fs::is_regular_file(m_folder))
            return ::testing::AssertionFailure() << m_folder << " is no longer the file";
        if (!keepsOldTarget()) return ::testing::AssertionSuccess();
        const std::string now = test::TempFolder::read(target());
        if (now != oldBytes()) return ::testing::AssertionFailure() << target() << " holds \"" << now << "\"";
        // A shared file's lock file stays beside it: removing it would let two writers lock apart.
        for (const auto& entry : fs::directory_iterator(m_folder))
            if (entry.path().filename() != m_targetName && entry.path().filename() != m_targetName + ".lock")
                return ::testing::AssertionFailure() << "left behind: " << entry.path();
        return ::testing::AssertionSuccess();
    }

    bool keepsOldTarget() const {
        return m_failure == Failure::PartWay || m_failure == Failure::ReadOnlyTarget;
    }

    test::TempFolder root;      // inputs and everything else the writer needs
    std::shared_ptr<void> keep; // what the target's folder lives in, when not in `root`

private:
    Failure m_failure;
    std::string m_targetName;
    std::string m_oldBytes;
    std::string m_folder;
};

// Makes every atomic write of the scope fail after three bytes.
class FailingWrites {
public:
    explicit FailingWrites(bool on) : m_on(on) {
        if (m_on) setWriteFailureAfterForTesting(3);
    }
    ~FailingWrites() {
        if (m_on) setWriteFailureAfterForTesting(-1);
    }

private:
    bool m_on;
};

struct Data {
    QuestionSet set;
    TellingPrompter prompter;
    NullDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
    explicit Data(const std::string& startFolder) {
        values.startFolder = startFolder;
        values.dataFolder = startFolder;
        values.settings = {"", ""};
        set.lines = {"tTitle\tT\t3\t3", "11\tQ\tA\tR\t0"};
        set.saved = false;
    }
};

// A database of one record, "11\tQ\tA\tR\t0": a name, our type and creator, the count and the offset.
const std::string kOneRecordPdb = std::string("P\0", 2) + std::string(58, ' ') + "DataRvk2" +
                                  std::string(8, ' ') + std::string("\0\x01", 2) +
                                  std::string("\0\0\0\x56\0\0\0\0", 8) + "11\tQ\tA\tR\t0\n";

// The summary keeps the words that matter; the place's folder reads "{folder}".
std::string withoutFolder(std::string text, const Place& place) {
    for (std::size_t at; (at = text.find(place.folder())) != std::string::npos;)
        text.replace(at, place.folder().size(), "{folder}");
    return text;
}

// The launcher's Rovik.prc reservation for the preselected user, its install folder at `place`.
std::string installCopy(Place& place, bool failWrites) {
    auto palmDesktop = std::make_shared<test::PalmDesktop>();
    place.keep = palmDesktop;
    test::PalmDesktop& desk = *palmDesktop;
    desk.install();
    test::writeFile(desk.start + "/Rovik.prc", "the new program");
    InstallRequest request;
    request.readyMade = true;
    request.source = request.target = "Rovik.prc";
    TellingPrompter prompter;
    InstallReservation reservation(request, desk.start, prompter);
    reservation.FormCreate();
    place.use(desk.installFolder("HanakoS"));
    FailingWrites fail(failWrites);
    const bool closes = reservation.Button1Click("Rovik");
    const bool flagged = desk.installFlag(2).has_value();
    return withoutFolder("closes=" + std::to_string(closes) + " done=" + std::to_string(request.done) +
                             " flag=" + std::to_string(flagged) + prompter.told,
                         place);
}

struct Writer {
    const char* what;
    const char* targetName;
    std::vector<Failure> failures;
    // Runs the write with the place ready (and writes failing part way when asked); returns what
    // came out of it.
    std::function<std::string(Place&, bool failWrites)> run;
    // What must come out; "{reason}" stands for the system's words for the failure.
    std::string expected;
    std::string oldBytes = {}; // of the target the failing write must keep; a default when empty
};

std::string cliRun(const cli::Args& args) {
    std::istringstream in;
    std::ostringstream out, err;
    const int code = cli::run(args, in, out, err);
    return std::to_string(code) + " " + err.str();
}

const std::vector<Writer>& writers() {
    const std::vector<Failure> all(std::begin(kAllFailures), std::end(kAllFailures));
    static const std::vector<Writer> list = {
        {"text save", "data.txt", all,
         [](Place& place, bool failWrites) {
             Data d(place.root.path());
             FailingWrites fail(failWrites);
             const int result = SaveAsText(d.set, place.target(), d.prompter, d.view);
             return withoutFolder(
                 std::to_string(result) + " saved=" + std::to_string(d.set.saved) + d.prompter.told, place);
         },
         "-1 saved=0 told[エラー:ファイルが開けません\n{folder}/data.txt\nファイルを保存できませんでした。]"},
        {"PDB save", "data.pdb", all,
         [](Place& place, bool failWrites) {
             Data d(place.root.path());
             FailingWrites fail(failWrites);
             const int result = WritePdb(d.set, place.target(), d.prompter);
             return withoutFolder(
                 std::to_string(result) + " saved=" + std::to_string(d.set.saved) + d.prompter.told, place);
         },
         "-1 saved=0 told[エラー:ファイルが開けません\n{folder}/data.pdb\nファイルを保存できませんでした。]"},
        // A read-only settings file has a message of its own (tests/settings).
        {"settings file",
         "Rovik.ini",
         {Failure::PartWay, Failure::MissingFolder, Failure::FolderIsAFile},
         [](Place& place, bool failWrites) {
             test::CurrentFolder here(place.root.path()); // the save goes to the start folder first
             ProgramValues values;
             values.startFolder = place.folder();
             values.settings = {"1\t0", "/a.txt"};
             std::string error;
             FailingWrites fail(failWrites);
             const bool saved = SaveSettings(values, &error);
             // The launcher shows this reason in its message box and stays open.
             return withoutFolder(std::string(saved ? "saved " : "not saved ") + error, place);
         },
         "not saved {folder}/Rovik.ini: {reason}"},
        {"error log", "ErrorLog.txt", all,
         [](Place& place, bool failWrites) {
             Data d(place.folder());
             const std::string refused = place.root.write("refused.txt", "no title\r\n");
             FailingWrites fail(failWrites);
             const int result = ReadAndValidate(d.ctx, refused);
             return std::to_string(result) + d.prompter.told;
         },
         "-9 told[エラー:ファイルが開けません]"},
        {"$temp.txt of the data list", "$temp.txt", all,
         [](Place& place, bool failWrites) {
             Data d(place.folder());
             d.set.lines.clear();
             const std::string pdb = place.root.write("in.pdb", kOneRecordPdb);
             FailingWrites fail(failWrites);
             OpenPdb(d.ctx, pdb);
             return "lines=" + std::to_string(d.set.lines.size()) + d.prompter.told;
         },
         "lines=0 told[エラー:ファイルが開けません]"},
        {"$temp.txt of the quiz window", "$temp.txt", all,
         [](Place& place, bool failWrites) {
             struct View : QuizWindowView {
                 void setAreaText(QuizArea, const std::string&) override {}
                 void setAnswerButtons(bool, bool, bool) override {}
                 void setRunControlsUsable(bool) override {}
                 void setCategoryEntries(const std::vector<std::string>&,
                                         const std::vector<std::string>&) override {}
                 void resetOptions() override {}
                 void setCaption(const std::string&) override {}
                 void setBusy(bool) override {}
                 std::optional<int> chooseTitle(const std::vector<std::string>&) override { return 0; }
                 void setTitleMenuUsable(bool) override {}
                 void setStatusText(const std::string&) override {}
             } view;
             TellingPrompter prompter;
             prompter.open = place.root.write("in.pdb", kOneRecordPdb);
             QuizWindowLogic logic(view, prompter, place.folder());
             FailingWrites fail(failWrites);
             logic.OpenPdb();
             return "lines=" + std::to_string(logic.engine().lines().size()) + prompter.told;
         },
         "lines=0 told[エラー:ファイルが開けません]"},
        // The current folder always exists, so only the failing write applies.
        {"$$temp.txt of edit as text",
         "$$temp.txt",
         {Failure::PartWay, Failure::ReadOnlyTarget},
         [](Place& place, bool failWrites) {
             test::CurrentFolder here(place.folder());
             test::FakeEditorView window;
             TellingPrompter prompter;
             ProgramValues values;
             values.startFolder = place.folder();
             values.settings = {"", ""};
             DataListLogic logic(window, prompter, values);
             logic.set().lines = {"tTitle\tT\t3\t3"};
             FailingWrites fail(failWrites);
             logic.EditAsText();
             return withoutFolder("opened=" + std::to_string(window.opened.size()) + prompter.told, place);
         },
         "opened=0 told[エラー:ファイルが開けません\n{folder}/$$temp.txt]"},
        {"5TQ output", "quiz.txt", all,
         [](Place& place, bool failWrites) {
             Data d(place.folder());
             const std::string fiveTq = place.root.write("quiz.5tq", test::fiveTq({1, 0, 0, 0, 0, 0, 0, 0}));
             QuizGenerator generator;
             d.prompter.quietYes = true; // agrees to replace the old file
             const std::optional<std::string> text = ConvertFiveChoice(d.ctx, fiveTq, generator);
             FailingWrites fail(failWrites);
             const int result = WriteFiveChoiceText(d.ctx, fiveChoiceTextPath(d.values, fiveTq), *text);
             return withoutFolder(std::to_string(result) + d.prompter.told, place);
         },
         "-1 told[エラー:ファイルが開けません\n{folder}/quiz.txt\nファイルを保存できませんでした。]"},
        // A missing install folder is made at ｲﾝｽﾄｰﾙ; a file in its place stops the install there.
        {"install copy",
         "Rovik.prc",
         {Failure::PartWay, Failure::ReadOnlyTarget},
         installCopy,
         "closes=1 done=0 flag=0 told[エラー:インストールできません。(7)]"},
        {"install folder",
         "Rovik.prc",
         {Failure::FolderIsAFile},
         installCopy,
         "closes=0 done=0 flag=0 told[:Can't make install dir. {folder}]"},
#ifndef _WIN32 // the registry is a file only here
        // SetInstallFlag opens the key from the file first, so only the failing write applies.
        {"install flag in the registry",
         "HKEY_CURRENT_USER.reg",
         {Failure::PartWay},
         [](Place& place, bool failWrites) {
             setRegistryFilePath(place.target());
             TellingPrompter prompter;
             {
                 FailingWrites fail(failWrites);
                 SetInstallFlag(2, prompter);
             }
             setRegistryFilePath({});
             return "flag" + prompter.told;
         },
         "flag told[:Registryに書き込めません]",
         "[Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\r\n"},
#endif
        {"rovik-cli to-pdb", "out.pdb", all,
         [](Place& place, bool failWrites) {
             const std::string in = place.root.write("in.txt", "tTitle\tT\t3\t3\r\n11\tQ\tA\tR\t0\r\n");
             FailingWrites fail(failWrites);
             return withoutFolder(cliRun({"to-pdb", in, place.target()}), place);
         },
         "2 rovik-cli: ファイルが開けません\n{folder}/out.pdb\nファイルを保存できませんでした。\nrovik-cli: "
         "{folder}/out.pdb\n"},
        {"rovik-cli to-text", "out.txt", all,
         [](Place& place, bool failWrites) {
             const std::string in = place.root.write("in.pdb", kOneRecordPdb);
             FailingWrites fail(failWrites);
             return withoutFolder(cliRun({"to-text", in, place.target()}), place);
         },
         "2 rovik-cli: ファイルが開けません ({folder}/out.txt: {reason})\n"},
        {"rovik-cli import-tab", "out.txt", all,
         [](Place& place, bool failWrites) {
             const std::string in = place.root.write("in.txt", "q\ta\r\n");
             FailingWrites fail(failWrites);
             return withoutFolder(cliRun({"import-tab", in, place.target()}), place);
         },
         "2 rovik-cli: {folder}/out.txt: {reason}\n"},
        {"rovik-cli import-5tq", "out.txt", all,
         [](Place& place, bool failWrites) {
             const std::string in = place.root.write("in.5tq", test::fiveTq({1, 0, 0, 0, 0, 0, 0, 0}));
             FailingWrites fail(failWrites);
             return withoutFolder(cliRun({"import-5tq", in, place.target()}), place);
         },
         "2 rovik-cli: {folder}/out.txt: {reason}\n"},
        {"rovik-cli check --log", "log.txt", all,
         [](Place& place, bool failWrites) {
             const std::string in = place.root.write("in.txt", "no title\r\n");
             FailingWrites fail(failWrites);
             return withoutFolder(cliRun({"check", in, "--log", place.target()}), place);
         },
         "2 rovik-cli: {folder}/log.txt: {reason}\n"},
    };
    return list;
}

std::string expectedFor(std::string text, Failure failure) {
    const std::string key = "{reason}";
    for (std::size_t at; (at = text.find(key)) != std::string::npos;)
        text.replace(at, key.size(), reasonOf(failure));
    return text;
}

TEST(FailingWrites, OldFileStaysAndTheUserIsTold) {
    for (const Writer& writer : writers()) {
        for (Failure failure : writer.failures) {
            Place place(failure, writer.targetName, writer.oldBytes);
            const std::string outcome = writer.run(place, failure == Failure::PartWay);
            const std::string where = std::string(writer.what) + ", " + failureName(failure);
            EXPECT_EQ(expectedFor(writer.expected, failure), outcome) << where;
            EXPECT_TRUE(place.untouched()) << where;
        }
    }
}

// The same writers with nothing in the way: the target is replaced, so the failures above are
// the writes' own and not the set-up's.
TEST(FailingWrites, WithoutAFailureEachWriterReplacesItsFile) {
    for (const Writer& writer : writers()) {
        Place place(Failure::PartWay, writer.targetName, writer.oldBytes);
        const std::string outcome = writer.run(place, false);
        const std::string now = test::TempFolder::read(place.target());
        EXPECT_NE(place.oldBytes(), now) << writer.what << ": " << outcome;
        EXPECT_FALSE(now.empty()) << writer.what << ": " << outcome;
    }
}

} // namespace
} // namespace rovik

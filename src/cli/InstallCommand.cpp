#include "cli/Cli.h"
#include "cli/ConsolePrompter.h"
#include "cli/QaTextInput.h"

#include "data/Loading.h"
#include "data/QuestionSet.h"
#include "hotsync/Hotsync.h"
#include "hotsync/TargetChoice.h"
#include "pdb/PdbWriter.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Utf8ToCp932.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <random>

namespace rovik::cli {
namespace fs = std::filesystem;
namespace {

const char* kUsage =
    "usage: rovik-cli install IN [--target auto|palm-desktop|wine|jpilot|pilot-xfer] [--user NAME]\n"
    "                         [--name DBNAME]\n"
    "\n"
    "Reserves IN for the handheld's next HotSync, or with pilot-xfer installs it at once. IN is a\n"
    "QA text file (checked as 'check' does and converted as 'to-pdb' does) or a .pdb/.prc file.\n"
    "\n"
    "  --target T   where to install; 'auto' (the default, or the choice saved by the program's\n"
    "               転送先の設定) takes the first found of Palm Desktop, Palm Desktop under Wine,\n"
    "               J-Pilot and pilot-xfer ('rovik-cli targets' lists them)\n"
    "  --user NAME  the HotSync user of Palm Desktop (default: the one who synced last); J-Pilot\n"
    "               and pilot-xfer have none and refuse it\n"
    "  --name NAME  the database name, in the header and the file name of the installed copy\n"
    "               (default: IN's file name without extension); a .prc keeps its own\n"
    "\n"
    "exit status: 0 reserved or installed; 1 IN refused (the error log on stdout), empty, a bad\n"
    "name, or --user with a target that has no users; 2 IN unreadable or bad arguments; 4 no\n"
    "target found, or the target failed (stderr says which step)\n";

const char* kTargetsUsage =
    "usage: rovik-cli targets\n"
    "\n"
    "Lists the install targets looked for, whether each was found, and Palm Desktop's HotSync\n"
    "users (control characters in their names shown as \\n, \\t, \\xNN).\n"
    "\n"
    "exit status: 0 at least one found; 4 none found\n";

std::string lowerExtension(const std::string& path) {
    std::string ext = pathText(nativePath(path).extension());
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

// `pdb` with `name` (CP932) in its header, laid out as WritePdb lays out a file name's: the name
// by its rules, a zero byte, spaces up to byte 30 and a zero byte 31.
std::string withDatabaseName(std::string pdb, const std::string& name) {
    std::string field = databaseNameFromCp932(name + ".pdb") + '\0';
    field.resize(31, ' ');
    field += '\0';
    return pdb.replace(0, field.size(), field);
}

// A private folder for the converted PDB, removed when the command ends.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::random_device random;
        std::error_code ec;
        for (int attempt = 0; attempt < 20 && path.empty(); ++attempt) {
            fs::path candidate = fs::temp_directory_path(ec) / ("rovik-install-" + std::to_string(random()));
            if (fs::create_directory(candidate, ec)) path = candidate;
        }
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!path.empty()) fs::remove_all(path, ec);
    }
};

int runInstall(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    std::string in, targetWord = "", userName, dbName;
    bool nameGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--target" && hasValue) {
            targetWord = args[++i];
        } else if (args[i] == "--user" && hasValue) {
            userName = args[++i];
        } else if (args[i] == "--name" && hasValue) {
            dbName = args[++i];
            nameGiven = true;
        } else if (in.empty() && !args[i].empty() && args[i][0] != '-') {
            in = args[i];
        } else {
            err << "rovik-cli install: unexpected argument '" << args[i] << "'\n" << kUsage;
            return 2;
        }
    }
    if (in.empty()) {
        err << kUsage;
        return 2;
    }
    TargetEnvironment env = TargetEnvironment::fromProcess(pathText(fs::current_path()));
    TargetSettings settings = loadTargetSettings(env);
    if (!targetWord.empty() && targetWord != "auto") {
        settings.target = targetKindFromKeyword(targetWord);
        if (!settings.target) {
            err << "rovik-cli install: unknown target '" << targetWord << "'\n" << kUsage;
            return 2;
        }
    } else if (targetWord == "auto") {
        settings.target.reset();
    }

    const std::string ext = lowerExtension(in);
    const bool ready = ext == ".pdb" || ext == ".prc";
    if (nameGiven && ext == ".prc") {
        err << "rovik-cli install: a program keeps its own database name: --name cannot be used with "
               "a .prc file\n";
        return 1;
    }
    // A raw Shift-JIS name becomes the UTF-8 text it stands for, so that the trail byte 0x5C of
    // 表 or ソ is no backslash in the installed file's name.
    if (!nameGiven) {
        dbName = pathText(nativePath(in).stem());
        if (!isUtf8WithMultiByte(dbName, dbName.size())) dbName = cp932ToUtf8(dbName);
    }
    const std::string fileName = dbName + (ready ? ext : ".pdb");
    const Cp932Encoding cp932Name = utf8ToCp932(dbName);
    // A name that is only an extension would leave the header's name empty.
    if (dbName.empty() || dbName == ".." || !isSafeFolderEntry(fileName) || !cp932Name.ok() ||
        cp932Name.bytes.size() > 31 || databaseNameFromCp932(cp932Name.bytes + ".pdb").empty()) {
        err << "rovik-cli install: the database name '" << visibleText(dbName)
            << "' cannot be used: it must be 1 to 31 bytes in Shift-JIS, without \\ / : or control "
               "characters\n";
        return 1;
    }

    ScratchFolder scratch;
    std::string file = in;
    if (ready) {
        std::string bytes;
        std::string reason;
        if (!readWholeFile(in, bytes, &reason) || bytes.size() < 78) {
            err << "rovik-cli: " << in << ": " << (reason.empty() ? "not a Palm database" : reason) << "\n";
            return 2;
        }
        // The handheld lists a database by the name in its header, not by its file name.
        if (nameGiven) {
            if (scratch.path.empty()) {
                err << "rovik-cli: no temporary folder for the renamed database\n";
                return 4;
            }
            file = (scratch.path / fileName).string();
            if (!writeFileAtomically(file, withDatabaseName(bytes, cp932Name.bytes), &reason)) {
                err << "rovik-cli: " << reason << "\n";
                return 4;
            }
        }
    } else {
        QaTextInput input = readQaTextInput(in, out, err);
        if (input.verdict != InputVerdict::Valid) return exitCodeOf(input.verdict);
        if (scratch.path.empty()) {
            err << "rovik-cli: no temporary folder for the converted database\n";
            return 4;
        }
        QuestionSet set;
        set.loadingBuffer = std::move(input.lines);
        if (FixHalfWidthKana(set)) err << "rovik-cli: 半角カナを全角カナに修正しました。\n";
        set.lines = std::move(set.loadingBuffer);
        file = pathText(scratch.path / nativePath(fileName));
        ConsolePrompter prompter(err);
        const int written = WritePdb(set, file, prompter);
        if (written == -2) return 1;
        if (written != 0) {
            err << "rovik-cli: the database could not be written to " << file << "\n";
            return 4;
        }
    }

    std::string problem;
    std::unique_ptr<InstallTarget> target = chooseTarget(env, settings, problem);
    if (!target) {
        err << "rovik-cli install: " << problem << "\n";
        return 4;
    }
    if (!userName.empty() && !target->hasUsers()) {
        err << "rovik-cli install: " << targetTitle(target->kind())
            << " serves one handheld and has no HotSync users: --user cannot be used with it\n";
        return 1;
    }
    std::vector<TargetUser> users;
    const TargetUser* user = nullptr;
    if (target->hasUsers()) {
        int preselected = -1;
        users = target->users(preselected, problem);
        if (users.empty()) {
            err << "rovik-cli install: " << targetTitle(target->kind()) << ": " << problem << "\n";
            return 4;
        }
        user = &users[static_cast<std::size_t>(preselected)];
        if (!userName.empty()) {
            user = nullptr;
            for (const TargetUser& u : users)
                if (cp932ToUtf8(u.name) == userName) user = &u;
            if (!user) {
                err << "rovik-cli install: " << targetTitle(target->kind()) << " has no HotSync user '"
                    << visibleText(userName) << "'; its users are:\n";
                for (const TargetUser& u : users)
                    err << "  " << visibleText(cp932ToUtf8(u.name)) << "\n";
                return 4;
            }
        }
    }
    if (target->kind() == TargetKind::PilotXfer)
        err << "rovik-cli: Palmデバイスの HotSync ボタンを押してください。\n";
    const TargetOutcome outcome = target->install(file, fileName, user);
    (outcome.ok ? out : err) << (outcome.ok ? "" : "rovik-cli install: ") << outcome.text << "\n";
    return outcome.ok ? 0 : 4;
}

int runTargets(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        err << kTargetsUsage;
        return 2;
    }
    TargetEnvironment env = TargetEnvironment::fromProcess(pathText(fs::current_path()));
    const TargetSettings settings = loadTargetSettings(env);
    out << "choice: " << (settings.target ? targetKeyword(*settings.target) : "auto") << "\n";
    bool any = false;
    for (const TargetFinding& f : findTargets(env)) {
        any = any || f.found;
        out << targetKeyword(f.kind) << "\t" << (f.found ? "found" : "not found") << "\t" << f.detail << "\n";
        if (!f.found) continue;
        std::string problem;
        std::unique_ptr<InstallTarget> target = makeTarget(f.kind, env, settings, problem);
        if (!target || !target->hasUsers()) continue;
        int preselected = -1;
        const std::vector<TargetUser> users = target->users(preselected, problem);
        if (users.empty()) out << "\t" << problem << "\n";
        for (std::size_t i = 0; i < users.size(); ++i)
            out << "\tuser: " << visibleText(cp932ToUtf8(users[i].name))
                << (static_cast<int>(i) == preselected ? " (last)" : "") << "\n";
    }
    if (!any) err << noTargetMessage(findTargets(env)) << "\n";
    return any ? 0 : 4;
}

} // namespace

const Command& installCommand() {
    static const Command command{"install", "reserve or install a QA text or PDB for the handheld", kUsage,
                                 runInstall};
    return command;
}

const Command& targetsCommand() {
    static const Command command{"targets", "list the install targets found and their users", kTargetsUsage,
                                 runTargets};
    return command;
}

} // namespace rovik::cli

#include "hotsync/InstallReservation.h"

#include "hotsync/Hotsync.h"
#include "pdb/PdbWriter.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"

#include <filesystem>

namespace rovik {
namespace fs = std::filesystem;

const InstallOpening kRovikOpening = {
    "Rovik.prc", "Rovik", "Rovikをインストール予約します。次回のHotSync時に自動インストールされます。"};
const InstallOpening kSampleDataOpening = {
    "SampleQA.pdb", "SampleQA",
    "サンプルデータをインストール予約します。次回のHotSync時に自動インストールされます。"};
const char* const kPdbExplanation =
    "PDBファイルをインストール予約します。次回のHotSync時に自動インストールされます。";
const char* const kPilotXferExplanation =
    "今すぐPalmデバイスへインストールします。HotSyncボタンを押してください。";

std::string installStatusText(const std::string& fileName) {
    return fileName + "をｲﾝｽﾄｰﾙ予約しました。";
}

namespace {
const char* const kCannotInstall = "インストールできません。(7)";

bool isReadOnlyFolder(const std::string& path) {
    std::error_code ec;
    fs::perms p = fs::status(nativePath(path), ec).permissions();
    return !ec && (p & fs::perms::owner_write) == fs::perms::none;
}

std::uint32_t toUserId(const std::string& text) {
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v > 0xFFFFFFFFu) return 0;
    }
    return static_cast<std::uint32_t>(v);
}
} // namespace

InstallReservation::InstallReservation(InstallRequest& request, std::string startFolder, Prompter& prompter,
                                       WritePdbFunction writePdb)
    : m_request(request), m_startFolder(std::move(startFolder)), m_prompter(prompter),
      m_writePdb(std::move(writePdb)) {}

void InstallReservation::useTarget(InstallTarget* target, RunOutside runOutside) {
    m_target = target;
    m_runOutside = std::move(runOutside);
}

std::string InstallReservation::targetLabel() const {
    if (!m_target) return "Palm Desktop";
    return std::string(targetTitle(m_target->kind())) + " (" + m_target->where() + ")";
}

void InstallReservation::formCreateForTarget() {
    if (!m_target->hasUsers()) {
        m_showsUsers = true;
        return;
    }
    std::string problem;
    int preselected = -1;
    const std::vector<TargetUser> users = m_target->users(preselected, problem);
    if (users.empty()) {
        m_prompter.error(targetLabel() + "\n" + problem);
        return;
    }
    for (const TargetUser& u : users) {
        m_names.push_back(u.name);
        m_folders.push_back(u.folder);
        m_ids.push_back(std::to_string(u.id));
    }
    choose(preselected);
    m_showsUsers = true;
}

void InstallReservation::installThroughTarget(const std::string& targetName) {
    TargetUser user;
    if (m_chosen >= 0) user = {m_userName, m_userFolder, m_userId};
    const std::string source = m_request.source;
    InstallTarget* target = m_target;
    const bool withUser = m_target->hasUsers();
    auto install = [target, source, targetName, user, withUser] {
        return target->install(source, targetName, withUser ? &user : nullptr);
    };
    const TargetOutcome outcome = m_runOutside ? m_runOutside(install) : install();
    if (outcome.stopped) {
        m_request.failed = true;
        return;
    }
    if (!outcome.ok) {
        failInstall(outcome.text);
        return;
    }
    m_request.done = true;
    m_request.doneText = outcome.text;
    m_request.installedNow = outcome.installedNow;
}

// False when the install stops here: an overwrite declined, or a failed write (reported).
bool InstallReservation::writeFreshPdb() {
    if (fileExists(m_request.source) &&
        m_prompter.ask(m_request.source + "はすでに存在します。上書きしますか？", "", Buttons::YesNo,
                       Icon::Question) != Answer::Yes)
        return false;
    if (!m_writePdb) {
        failInstall(kCannotInstall);
        return false;
    }
    // A failed write leaves an older file of that name: installing it would report a false success.
    // The writer has told the user why (the 64 KB limit, a file it cannot create): once is enough.
    if (m_writePdb(m_request.source) != 0) {
        m_request.failed = true;
        return false;
    }
    return true;
}

void InstallReservation::FormCreate() {
    if (usesOtherTarget()) {
        formCreateForTarget();
        return;
    }
    m_palmFolder = GetPalmDesktopPath(m_prompter);
    const std::string lastUser = GetLastUserName();
    const std::string usersFile = palmPath(m_palmFolder, "users.dat");
    if (CheckLastUser(usersFile, lastUser, m_prompter) != 0) return;
    int preselected = ReadHotSyncUsers(usersFile, m_names, m_folders, m_ids, m_prompter);
    if (m_names.empty()) return;
    choose(preselected >= 0 && preselected < static_cast<int>(m_names.size()) ? preselected : 0);
    // Every user is listed; a user whose sub-folder is unsafe is refused only when chosen at ｲﾝｽﾄｰﾙ.
    if (isSafeFolderEntry(nativeName(m_userFolder)) && !makeInstallFolder()) return;
    m_showsUsers = true;
}

void InstallReservation::choose(int index) {
    m_chosen = index;
    const auto i = static_cast<std::size_t>(index);
    m_userName = m_names[i];
    m_userFolder = m_folders[i];
    m_userId = toUserId(m_ids[i]);
}

void InstallReservation::ComboBox1Change(int index) {
    if (index >= 0 && index < static_cast<int>(m_names.size())) choose(index);
}

std::string InstallReservation::userInstallFolder() const {
    return palmPath(palmPath(m_palmFolder, nativeName(m_userFolder)), "Install");
}

// A sub-folder name from users.dat is joined to the Palm Desktop folder: it must stay inside.
bool InstallReservation::refuseUnsafeUserFolder() {
    if (isSafeFolderEntry(nativeName(m_userFolder))) return false;
    m_prompter.error("ユーザ「" + cp932ToUtf8(m_userName) + "」のフォルダ名「" + cp932ToUtf8(m_userFolder) +
                     "」はPalm Desktopのフォルダの外を指すため使えません。");
    return true;
}

bool InstallReservation::makeInstallFolder() {
    m_installFolder = userInstallFolder();
    // A user's folder that is a link out of Palm Desktop's folder gets no Install folder made in it.
    const std::string outside = linkLeavesFolder(folderOf(m_installFolder), m_palmFolder);
    if (!outside.empty()) {
        m_prompter.error(outside);
        return false;
    }
    std::error_code ec;
    bool exists = folderExists(m_installFolder);
    // An existing read-only folder cannot be made writable by creating it: that is the failure.
    if ((exists && isReadOnlyFolder(m_installFolder)) ||
        (!exists && !fs::create_directory(nativePath(m_installFolder), ec))) {
        m_prompter.ask("Can't make install dir. " + m_installFolder, "", Buttons::Ok, Icon::None);
        return false;
    }
    return true;
}

void InstallReservation::failInstall(const std::string& text) {
    m_request.failed = true;
    m_prompter.error(text);
}

// An empty name would write a hidden ".pdb"; a name beyond the handheld's 31 bytes is cut, which
// the user is told before anything is written.
bool InstallReservation::refuseDatabaseName(const std::string& databaseName) {
    if (databaseName.empty()) {
        m_prompter.error("DB名称を入力してください。");
        return true;
    }
    const std::string bytes = utf8ToCp932(databaseName).bytes;
    const std::string shortName = databaseNameFromCp932(bytes + ".pdb");
    if (bytes.size() <= 31 || shortName == bytes) return false;
    return m_prompter.ask(
               "DB名称「" + databaseName +
                   "」は31バイトを超えるため、Palmデバイス上のデータベース名は先頭31バイト以内の「" +
                   cp932ToUtf8(shortName) + "」に短縮されます。\nこのままインストールしますか？",
               "確認", Buttons::YesNo, Icon::Question) != Answer::Yes;
}

// The handheld program is not part of this package: say which file is missing and where it goes.
bool InstallReservation::refuseMissingReadyMade() {
    if (fileExists(m_request.source)) return false;
    const std::string name = fileNameOf(m_request.source);
    failInstall(name + " が見つかりません。\n" + name + " を起動フォルダ（" + m_startFolder +
                "）に置いてから、もう一度インストールしてください。");
    return true;
}

bool InstallReservation::Button1Click(const std::string& databaseName) {
    if (m_names.empty() && !showsTargetOnly()) {
        m_prompter.error("HotSyncユーザが見つからないため、インストールできません。");
        return true;
    }
    if (!showsTargetOnly() && refuseUnsafeUserFolder()) return false;
    if (!m_request.readyMade && refuseDatabaseName(databaseName)) return false;
    std::string sourceName = m_request.source;
    std::string targetName = m_request.target;
    if (!m_request.readyMade) {
        const std::string fileName = databaseName + ".pdb";
        if (databaseName == ".." || !isSafeFolderEntry(fileName)) {
            m_prompter.error(
                "DB名称「" + databaseName +
                "」は使えません。\\ / : を含む名前や .. はフォルダの外を指すため指定できません。");
            return false;
        }
        sourceName = targetName = fileName;
    }
    if (usesOtherTarget()) {
        m_request.source = palmPath(m_startFolder, sourceName);
        m_request.target = targetName;
        if (m_request.readyMade && refuseMissingReadyMade()) return true;
        if (!m_request.readyMade && !writeFreshPdb()) return true;
        installThroughTarget(targetName);
        return true;
    }
    // Only the preselected user's folder was made at start-up; the chosen one may be another.
    if (!makeInstallFolder()) {
        m_request.failed = true;
        return false;
    }
    m_request.source = palmPath(m_startFolder, sourceName);
    m_request.target = palmPath(m_installFolder, targetName);
    if (m_request.readyMade && refuseMissingReadyMade()) return true;
    if (!m_request.readyMade && !writeFreshPdb()) return true;
    const std::string outside = linkLeavesFolder(m_request.target, m_palmFolder);
    if (!outside.empty()) {
        failInstall(outside);
        return true;
    }
    if (!copyFileAtomically(m_request.source, m_request.target)) {
        failInstall(kCannotInstall);
        return true;
    }
    // Without the flag HotSync leaves the copied file where it is: the reservation is not done.
    if (!SetInstallFlag(m_userId, m_prompter)) {
        failInstall(fileNameOf(m_request.target) +
                    " をインストールフォルダにコピーしましたが、インストールフラグを設定できませんでした。\n"
                    "インストール予約は完了していません。");
        return true;
    }
    m_request.done = true;
    return true;
}

} // namespace rovik

#include "hotsync/InstallReservation.h"

#include "hotsync/Hotsync.h"
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

void InstallReservation::FormCreate() {
    m_palmFolder = GetPalmDesktopPath(m_prompter);
    const std::string lastUser = GetLastUserName();
    const std::string usersFile = palmPath(m_palmFolder, "users.dat");
    if (CheckLastUser(usersFile, lastUser, m_prompter) != 0) return;
    int preselected = ReadHotSyncUsers(usersFile, m_names, m_folders, m_ids, m_prompter);
    if (m_names.empty()) return;
    choose(preselected >= 0 && preselected < static_cast<int>(m_names.size()) ? preselected : 0);
    if (refuseUnsafeUserFolder() || !makeInstallFolder()) return;
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

void InstallReservation::failInstall() {
    m_prompter.error(kCannotInstall);
}

bool InstallReservation::Button1Click(const std::string& databaseName) {
    if (m_names.empty()) {
        m_prompter.error("HotSyncユーザが見つからないため、インストールできません。");
        return true;
    }
    if (refuseUnsafeUserFolder()) return false;
    m_installFolder = userInstallFolder();
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
    m_request.source = palmPath(m_startFolder, sourceName);
    m_request.target = palmPath(m_installFolder, targetName);
    if (!m_request.readyMade) {
        if (fileExists(m_request.source) &&
            m_prompter.ask(m_request.source + "はすでに存在します。上書きしますか？", "", Buttons::YesNo,
                           Icon::Question) != Answer::Yes)
            return true;
        // A failed write leaves an older file of that name: installing it would report a false success.
        if (!m_writePdb || m_writePdb(m_request.source) != 0) {
            failInstall();
            return true;
        }
    }
    if (!copyFileAtomically(m_request.source, m_request.target)) {
        failInstall();
        return true;
    }
    SetInstallFlag(m_userId, m_prompter);
    m_request.done = true;
    return true;
}

} // namespace rovik

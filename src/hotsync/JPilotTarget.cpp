#include "hotsync/JPilotTarget.h"

#include "hotsync/Hotsync.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"

#include <filesystem>

namespace rovik {
namespace fs = std::filesystem;

InstallQueue parseInstallQueue(const std::string& bytes) {
    InstallQueue queue;
    if (bytes.size() > kMaxQueueBytes) {
        queue.problem = "ファイルが大きすぎます（" + std::to_string(bytes.size()) + " バイト）。";
        return queue;
    }
    if (bytes.find('\0') != std::string::npos) {
        queue.problem = "テキストではないバイトを含んでいます。";
        return queue;
    }
    std::size_t from = 0;
    while (from < bytes.size()) {
        std::size_t end = bytes.find('\n', from);
        if (end == std::string::npos) end = bytes.size();
        if (end - from > kMaxQueueLine) {
            queue.problem = std::to_string(queue.lines.size() + 1) + " 行目が長すぎます。";
            queue.lines.clear();
            return queue;
        }
        std::string line = bytes.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        queue.lines.push_back(std::move(line));
        from = end + 1;
    }
    queue.usable = true;
    return queue;
}

std::string appendToInstallQueue(const std::string& bytes, const std::string& path) {
    for (const std::string& line : parseInstallQueue(bytes).lines)
        if (line == path) return bytes;
    std::string result = bytes;
    if (!result.empty() && result.back() != '\n') result += '\n';
    return result + path + '\n';
}

namespace {
std::function<void()> g_afterQueueWrite;

bool queueLists(const std::string& queueFile, const std::string& line) {
    std::string bytes;
    if (!readWholeFile(queueFile, bytes)) return false;
    for (const std::string& listed : parseInstallQueue(bytes).lines)
        if (listed == line) return true;
    return false;
}
} // namespace

void setAfterQueueWriteForTesting(std::function<void()> hook) {
    g_afterQueueWrite = std::move(hook);
}

JPilotTarget::JPilotTarget(std::string queueFile, std::string keepFolder)
    : m_queueFile(std::move(queueFile)), m_keepFolder(std::move(keepFolder)) {}

TargetOutcome JPilotTarget::install(const std::string& file, const std::string& fileName, const TargetUser*) {
    TargetOutcome outcome;
    if (!isSafeFolderEntry(fileName)) {
        outcome.text = "ファイル名「" + fileName + "」は使えません。";
        return outcome;
    }
    std::error_code ec;
    const std::string kept = fs::absolute(fs::path(m_keepFolder) / fileName, ec).lexically_normal().string();
    // The queue holds one path a line: a line end in the path would split it into two.
    if (hasControlCharacter(kept)) {
        outcome.text = "フォルダ " + visibleText(m_keepFolder) +
                       " には改行などの制御文字が含まれているため、J-Pilot のインストール待ちファイルに"
                       "書けません。\n制御文字を含まないフォルダから起動してください。";
        return outcome;
    }
    fs::create_directories(folderOf(m_queueFile), ec);
    // Another install (this program or a script) may be appending at the same moment: the queue
    // is read, changed and replaced by one writer at a time.
    FileLock lock;
    std::string reason;
    if (!lock.lock(m_queueFile, reason)) {
        outcome.text = "J-Pilot のインストール待ちファイル " + m_queueFile + " に書き込めません。\n" + reason;
        return outcome;
    }
    // The queue is checked before anything is copied: a broken queue leaves everything as it was.
    std::string bytes;
    if (fileExists(m_queueFile) && !readWholeFile(m_queueFile, bytes, &reason)) {
        outcome.text = "J-Pilot のインストール待ちファイル " + m_queueFile + " を読めません。\n" + reason;
        return outcome;
    }
    const InstallQueue queue = parseInstallQueue(bytes);
    if (!queue.usable) {
        outcome.text = "J-Pilot のインストール待ちファイル " + m_queueFile +
                       " は J-Pilot の形式ではないため、書き込みませんでした。\n" + queue.problem;
        return outcome;
    }
    fs::create_directories(m_keepFolder, ec);
    // Reserved files wait in the keep folder of the start folder: a link there (the folder or the
    // file) must not carry the copy elsewhere.
    std::string outside = linkLeavesFolder(m_keepFolder, folderOf(m_keepFolder));
    if (outside.empty()) outside = linkLeavesFolder(kept, m_keepFolder);
    if (!outside.empty()) {
        outcome.text = outside;
        return outcome;
    }
    if (!folderExists(m_keepFolder) || !copyFileAtomically(file, kept, &reason)) {
        outcome.text = fileName + " を " + m_keepFolder + " にコピーできません。\n" + reason;
        return outcome;
    }
    if (!writeFileAtomically(m_queueFile, appendToInstallQueue(bytes, kept), &reason)) {
        outcome.text = "J-Pilot のインストール待ちファイル " + m_queueFile + " に書き込めません。\n" + reason;
        return outcome;
    }
    if (g_afterQueueWrite) g_afterQueueWrite();
    // J-Pilot itself takes no lock: a J-Pilot that rewrote the queue just now may have dropped our line.
    if (!queueLists(m_queueFile, kept)) {
        outcome.text = "J-Pilot のインストール待ちファイル " + m_queueFile + " に書いた " + kept +
                       " が、書いた直後に消えました（J-Pilot が同時に書き換えた可能性があります）。\n"
                       "もう一度インストールしてください。";
        return outcome;
    }
    outcome.ok = true;
    outcome.text = fileName + "をJ-Pilotにｲﾝｽﾄｰﾙ予約しました。";
    return outcome;
}

} // namespace rovik

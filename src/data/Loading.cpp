#include "data/Loading.h"

#include "data/Common.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/TextReading.h"
#include "data/Validation.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "settings/ProgramValues.h"

namespace rovik {
namespace {

const char* kAppendQuestion = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                              "いいえ：編集中のデータを削除して新規読み込み";

// A replacing open keeps the old lines aside until the new file has loaded: a file that is
// refused, empty or unreadable, or an import the user stops, costs nothing.
void restoreLines(DataContext& ctx, std::vector<std::string>& kept) {
    ctx.set.lines.swap(kept);
    RebuildTitleIndex(ctx.set);
    if (ctx.set.selectedTitle > ctx.set.titleCount()) ctx.set.selectedTitle = -1;
}

} // namespace

LoadMode AskLoadMode(DataContext& ctx) {
    if (ctx.set.lines.empty()) {
        ctx.set.encoding = TextEncoding::Cp932;
        ctx.set.utf8Forms.jisOnly = 0;
        return LoadMode::Replace;
    }
    Answer answer = ctx.prompter.ask(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None);
    if (answer == Answer::Yes) return LoadMode::Append;
    if (answer != Answer::No) return LoadMode::Cancelled;
    answer = ctx.prompter.ask("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None);
    if (answer == Answer::Cancel) return LoadMode::Cancelled;
    // A save the user cancelled or that failed leaves nothing safe to replace.
    if (answer == Answer::Yes && !ctx.view.runTextSave()) return LoadMode::Cancelled;
    return LoadMode::Replace;
}

bool FixHalfWidthKana(QuestionSet& set) {
    bool found = false;
    for (const auto& line : set.loadingBuffer) {
        if (HasHalfWidthKana(line)) {
            found = true;
            break;
        }
    }
    if (!found) return false;
    for (auto& line : set.loadingBuffer)
        line = ToFullWidthKana(line);
    return true;
}

namespace {
// The log goes where validation's goes; an old log must not stand in for this file's problems.
void showRefusal(DataContext& ctx, const std::string& logPath, const std::string& logError) {
    if (!logError.empty())
        ctx.prompter.error("ファイルが開けません");
    else
        ctx.view.showErrorLog(logPath);
}
} // namespace

bool RefuseUnloadableLines(DataContext& ctx, const std::vector<std::string>& lines) {
    const std::vector<std::string> log = validationLog(lines, 1, 0);
    if (log.empty()) return false;
    const std::string logPath = startFolderFile(ctx.values, "ErrorLog.txt");
    std::string logError;
    writeFileAtomically(logPath, errorLogBytes(log), &logError);
    showRefusal(ctx, logPath, logError);
    return true;
}

int ReadValidateAndFix(DataContext& ctx, const std::string& path, int mode, int format,
                       EncodingChoice choice) {
    QuestionSet& set = ctx.set;
    ctx.view.setBusy(true);
    TextRead read = readQaText(path, choice);
    set.loadingBuffer.clear();
    const std::string logPath = startFolderFile(ctx.values, "ErrorLog.txt");
    std::string logError;
    if (read.status == TextReadStatus::Unreadable) {
        ctx.view.setBusy(false);
        ctx.prompter.error(cannotOpenText(path));
        return -1;
    }
    if (read.status == TextReadStatus::Unmappable) {
        writeFileAtomically(logPath, unmappableLogBytes(read.log), &logError);
        ctx.view.setBusy(false);
        showRefusal(ctx, logPath, logError);
        return -9;
    }
    set.loadingBuffer = std::move(read.lines);
    if (set.loadingBuffer.empty()) {
        ctx.view.setBusy(false);
        ctx.prompter.ask(noDataText(path), "確認", Buttons::Ok, Icon::Warning);
        return -1;
    }
    int result = Validate(set, mode, format, logPath, &logError);
    ctx.view.setBusy(false);
    if (result == -9) {
        showRefusal(ctx, logPath, logError);
        return -9;
    }
    if (FixHalfWidthKana(set)) ctx.prompter.notice("半角カナを全角カナに修正しました。");
    set.encoding = read.encoding;
    if (set.lines.empty())
        set.utf8Forms.replace(std::move(read.forms));
    else
        set.utf8Forms.add(std::move(read.forms));
    return 0;
}

int ReadAndValidate(DataContext& ctx, const std::string& path, EncodingChoice choice) {
    if (int result = ReadValidateAndFix(ctx, path, 1, 0, choice); result != 0) return result;
    QuestionSet& set = ctx.set;
    set.shown.categoryA.clear();
    set.shown.categoryB.clear();
    set.shown.headerLineCount = 0;
    set.titles.clear();
    // The buffer's lines move into the set; nothing reads the buffer after a load.
    if (set.lines.empty()) {
        set.lines.swap(set.loadingBuffer);
    } else {
        set.lines.reserve(set.lines.size() + set.loadingBuffer.size());
        for (auto& line : set.loadingBuffer)
            set.lines.push_back(std::move(line));
    }
    set.loadingBuffer = {};
    RebuildTitleIndex(set);
    ctx.view.enableCommand(DataCommand::TextSave, true);
    ctx.view.enableCommand(DataCommand::PdbInstall, true);
    ctx.view.enableCommand(DataCommand::PdbSave, true);
    return 0;
}

bool OpenIntoSet(DataContext& ctx, const std::string& path, const std::function<int()>& read,
                 const OpenedFile& opened) {
    if (opened.mustExist && !fileExists(path)) {
        ctx.prompter.ask("ﾌｧｲﾙがありません。", "エラー", Buttons::Ok, Icon::Warning);
        return false;
    }
    const int selectedBefore = ctx.set.selectedTitle;
    LoadMode mode = AskLoadMode(ctx);
    if (mode == LoadMode::Cancelled) return false;
    std::vector<std::string> kept;
    if (mode == LoadMode::Replace) ctx.set.lines.swap(kept);
    if (!folderOf(path).empty()) ctx.values.dataFolder = folderOf(path);
    if (read() != 0) {
        if (mode == LoadMode::Replace) restoreLines(ctx, kept);
        return false;
    }
    const std::string& recent = opened.recent ? *opened.recent : path;
    if (!recent.empty()) AddRecentFile(ctx.values, recent);
    ctx.view.enableCommand(DataCommand::TextSave, true);
    ctx.view.enableCommand(DataCommand::PdbInstall, true);
    ctx.view.setCurrentFileName(opened.current ? *opened.current : path);
    RebuildTitleIndex(ctx.set);
    ctx.view.fillTitleList();
    if (mode == LoadMode::Replace)
        ctx.view.showTitleRow(0);
    else if (selectedBefore > 0)
        ctx.view.selectTitleRow(selectedBefore - 1);
    ctx.view.setStatusText("");
    return true;
}

void LoadQAText(DataContext& ctx, const std::string& path, const OpenedFile& opened, EncodingChoice choice) {
    OpenIntoSet(
        ctx, path, [&] { return ReadAndValidate(ctx, path, choice); }, opened);
}

} // namespace rovik

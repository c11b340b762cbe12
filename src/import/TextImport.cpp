#include "import/TextImport.h"

#include "app/ProgramValues.h"
#include "data/Common.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"

namespace rovik {
namespace {

std::string record(const std::string& question, const std::string& answer, const std::string& reference) {
    return "11\t" + question + "\t" + answer + "\t" + reference + "\t0";
}

} // namespace

std::string titleNameOf(const std::string& path) {
    return BaseName(utf8ToCp932(fileNameOf(path)).bytes);
}

std::vector<std::string> textImportLines(const std::vector<std::string>& source, int format,
                                         const std::string& titleName) {
    std::vector<std::string> lines{"tTitle\t" + titleName + "\t3\t3", "dBunrui\t" + toCp932("無題（分類A）"),
                                   "sBunrui\t" + toCp932("無題（分類B）")};
    if (format == kTabSeparated) {
        for (const auto& line : source)
            lines.push_back(
                record(ItemText(line, kTab, 1), ItemText(line, kTab, 2), ItemText(line, kTab, 3)));
    } else if (format == kTwoLines) {
        for (size_t i = 0; i + 1 < source.size(); i += 2)
            lines.push_back(record(source[i], source[i + 1], ""));
    } else if (format == kThreeLines) {
        for (size_t i = 0; i + 2 < source.size(); i += 3)
            lines.push_back(record(source[i], source[i + 1], source[i + 2]));
    }
    return lines;
}

int ConvertTextImport(DataContext& ctx, const std::string& path) {
    std::optional<int> format = ctx.prompter.chooseImportFormat();
    if (!format) return 1;
    QuestionSet& set = ctx.set;
    ctx.view.setBusy(true);
    std::string error;
    if (!readTextLines(path, set.loadingBuffer, &error)) {
        ctx.view.setBusy(false);
        ctx.prompter.error(error);
        return -1;
    }
    if (set.loadingBuffer.empty()) {
        ctx.view.setBusy(false);
        return -1;
    }
    const std::string logPath = startFolderFile(ctx.values, "ErrorLog.txt");
    std::string logError;
    int result = Validate(set, 2, *format, logPath, &logError);
    ctx.view.setBusy(false);
    if (result == -9) {
        // An old log must not stand in for this file's problems.
        if (!logError.empty())
            ctx.prompter.error("ファイルが開けません");
        else
            ctx.view.showErrorLog(logPath);
        return -9;
    }
    if (FixHalfWidthKana(set)) ctx.prompter.notice("半角カナを全角カナに修正しました。");
    // The index and the shown title are dropped only now, so a stopped import leaves them
    // describing the lines as they are.
    set.shown.categoryA.clear();
    set.shown.categoryB.clear();
    set.titles.clear();
    for (auto& line : textImportLines(set.loadingBuffer, *format, titleNameOf(path)))
        set.lines.push_back(std::move(line));
    ctx.view.enableCommand(DataCommand::TextSave, true);
    ctx.view.enableCommand(DataCommand::PdbInstall, true);
    ctx.view.enableCommand(DataCommand::PdbSave, true);
    return 0;
}

void ImportTextFile(DataContext& ctx, const std::string& path) {
    // Imported data has no file of its own yet: it counts as unsaved.
    if (OpenIntoSet(ctx, path, [&] { return ConvertTextImport(ctx, path); })) ctx.set.saved = false;
}

} // namespace rovik

#include "decks/ExportCommand.h"

#include "data/Common.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/QuestionSet.h"
#include "decks/DeckExport.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "settings/ProgramValues.h"

namespace rovik::decks {
namespace {

struct SaveForm {
    const char* filter;
    const char* suffix;
};

SaveForm saveFormOf(ExportFormat format) {
    switch (format) {
    case ExportFormat::AnkiPackage:
        return {"Anki package (*.apkg)|*.apkg", "apkg"};
    case ExportFormat::SpreadsheetCsv:
        return {"CSV files (*.csv)|*.csv", "csv"};
    case ExportFormat::AnkiText:
        break;
    }
    return {"Text files (*.txt)|*.txt", "txt"};
}

std::vector<OptionGroup> optionGroups(const QuestionSet& set, ExportCommand command) {
    const bool shown = set.selectedTitle >= 1 && set.selectedTitle <= set.titleCount();
    std::vector<OptionGroup> groups{
        {"書き出すタイトル",
         {"表示中のタイトル（" + (shown ? cp932ToUtf8(set.shown.name) : std::string("なし")) + "）",
          "全タイトル（" + std::to_string(set.titleCount()) + "タイトル）"},
         shown ? 0 : 1}};
    if (command == ExportCommand::Csv)
        groups.push_back(
            {"形式", {"表計算ソフト用CSV（カンマ区切り）", "Anki読み込み用テキスト（タブ区切り）"}, 0});
    return groups;
}

} // namespace

int runExportCommand(DataContext& ctx, ExportCommand command, const std::string& currentFileName,
                     std::int64_t nowMs) {
    const QuestionSet& set = ctx.set;
    if (set.titleCount() == 0) {
        ctx.prompter.error("ﾌｧｲﾙを読み込んでください。", "確認");
        return -1;
    }
    const char* caption = command == ExportCommand::AnkiPackage ? "Ankiﾊﾟｯｹｰｼﾞ書き出し" : "CSV書き出し";
    const std::optional<std::vector<int>> chosen =
        ctx.prompter.chooseOptions(caption, optionGroups(set, command));
    if (!chosen || chosen->empty()) return 1;
    const bool allTitles = (*chosen)[0] == 1;
    if (!allTitles && (set.selectedTitle < 1 || set.selectedTitle > set.titleCount())) {
        ctx.prompter.notice("タイトルを選択してください。");
        return -1;
    }
    const ExportFormat format = command == ExportCommand::AnkiPackage     ? ExportFormat::AnkiPackage
                                : chosen->size() > 1 && (*chosen)[1] == 1 ? ExportFormat::AnkiText
                                                                          : ExportFormat::SpreadsheetCsv;
    const SaveForm form = saveFormOf(format);
    std::string stem;
    ItemOf(fileNameOf(currentFileName), stem, '.', 1);
    FileDialogRequest request;
    request.filter = form.filter;
    request.defaultSuffix = form.suffix;
    request.folder = ctx.values.dataFolder;
    request.fileName = (stem.empty() ? std::string("Rovik") : stem) + "." + form.suffix;
    const std::optional<std::string> path = ctx.prompter.saveFile(request);
    if (!path) return 1;
    ctx.view.setBusy(true);
    const ExportResult result =
        exportTitles(set.lines, set.utf8Forms, allTitles ? 0 : set.selectedTitle, format, *path, nowMs);
    ctx.view.setBusy(false);
    if (result.status != ExportStatus::Ok) {
        ctx.prompter.error(result.message);
        return -1;
    }
    ctx.view.setStatusText(*path + "に書き出しました。（" + std::to_string(result.titles) + "タイトル、" +
                           std::to_string(result.records) + "問）");
    return 0;
}

} // namespace rovik::decks

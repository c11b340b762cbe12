#include "import/TextImport.h"

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
#include "platform/TextEncoding.h"
#include "settings/ProgramValues.h"

#include <algorithm>

namespace rovik {
namespace {

std::string record(const std::string& question, const std::string& answer, const std::string& reference) {
    return "11\t" + question + "\t" + answer + "\t" + reference + "\t0";
}

} // namespace

// Folders end only at the platform's separators ("\\" is a character of a Linux name, and the
// trail byte of 表 in a raw Shift-JIS one); "." is never part of a double-byte character.
std::string titleNameOf(const std::string& path) {
    std::string name = fileNameOf(path);
    name.erase(std::min(name.find('.'), name.size()));
    std::string title = fileNameToCp932(name).bytes;
    // A tab or line end from a Linux name would split the title's line (no CP932 trail byte is
    // one of them); a name with nothing CP932 holds still gives the title a name.
    std::replace_if(title.begin(), title.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return title.empty() ? std::string("\x96\xb3\x91\xe8") : title; // 無題
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
    if (int result = ReadValidateAndFix(ctx, path, 2, *format); result != 0) return result;
    QuestionSet& set = ctx.set;
    std::vector<std::string> lines = textImportLines(set.loadingBuffer, *format, titleNameOf(path));
    // Two- and three-line sources are not checked on the way in: the records they make are, so
    // that the title never holds a line the saved file could not be opened with.
    if (*format != kTabSeparated && RefuseUnloadableLines(ctx, lines)) return -9;
    // The index and the shown title are dropped only now, so a stopped import leaves them
    // describing the lines as they are.
    set.shown.categoryA.clear();
    set.shown.categoryB.clear();
    set.titles.clear();
    for (auto& line : lines)
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

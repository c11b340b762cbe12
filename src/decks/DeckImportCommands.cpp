#include "decks/DeckImportCommands.h"

#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/TextReading.h"
#include "data/Validation.h"
#include "import/TextImport.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "settings/ProgramValues.h"

#include <filesystem>

namespace rovik::decks {
namespace {

constexpr std::uintmax_t kCsvLimit = 64u << 20;

// The file's bytes, or a message and nothing when it is missing, unreadable or too large.
std::optional<std::string> readInput(DataContext& ctx, const std::string& path, std::uintmax_t limit) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), ec);
    if (!ec && size > limit) {
        ctx.prompter.error("ファイルが大きすぎます（最大" + std::to_string(limit >> 20) + "MB）。\n" + path);
        return std::nullopt;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        ctx.prompter.error(cannotOpenText(path));
        return std::nullopt;
    }
    return bytes;
}

// A refused import shows its log as a refused file does; the set is left as it was.
void showRefusal(DataContext& ctx, const DeckImport& result) {
    if (result.charLog.empty() && result.log.empty()) {
        ctx.prompter.error(result.message);
        return;
    }
    const std::string logPath = startFolderFile(ctx.values, "ErrorLog.txt");
    std::string error;
    const std::string bytes =
        result.charLog.empty() ? errorLogBytes(result.log) : unmappableLogBytes(result.charLog);
    if (writeFileAtomically(logPath, bytes, &error))
        ctx.view.showErrorLog(logPath);
    else
        ctx.prompter.error(result.charLog.empty() ? "ファイルが開けません"
                                                  : unmappableMessage(result.charLog));
}

int appendTitles(DataContext& ctx, const DeckImport& result) {
    if (result.outcome != ImportOutcome::Done) {
        showRefusal(ctx, result);
        return -9;
    }
    QuestionSet& set = ctx.set;
    set.shown.categoryA.clear();
    set.shown.categoryB.clear();
    set.titles.clear();
    for (const auto& line : result.lines)
        set.lines.push_back(line);
    ctx.view.enableCommand(DataCommand::TextSave, true);
    ctx.view.enableCommand(DataCommand::PdbInstall, true);
    ctx.view.enableCommand(DataCommand::PdbSave, true);
    return 0;
}

// Imported data has no text file of its own: a save proposes the source's name as ".txt" and
// never writes over the source.
OpenedFile openedAsText(const std::string& path) {
    OpenedFile opened;
    opened.recent = std::string();
    std::filesystem::path text = std::filesystem::u8path(path);
    text.replace_extension(".txt");
    opened.current = text.u8string();
    return opened;
}

bool importPath(DataContext& ctx, const std::string& path, const std::function<int(DeckImport&)>& convert) {
    DeckImport result;
    const bool added = OpenIntoSet(
        ctx, path, [&] { return convert(result); }, openedAsText(path));
    if (!added) return false;
    ctx.set.saved = false;
    ctx.view.setStatusText(importSummary(result));
    return true;
}

} // namespace

bool ImportCsvPath(DataContext& ctx, const std::string& path, DeckImportDialogs& dialogs) {
    return importPath(ctx, path, [&](DeckImport& result) {
        const std::optional<std::string> bytes = readInput(ctx, path, kCsvLimit);
        if (!bytes) return -1;
        // Binary data, a file without rows and an unclosed quote are said before any choice is
        // offered; characters Shift-JIS cannot hold may read under another encoding.
        const CsvPreview preview = previewCsv(*bytes, {}, 1);
        if (preview.outcome != ImportOutcome::Done && !preview.unmappable) {
            ctx.prompter.error(preview.message + "\n" + path);
            return -1;
        }
        const std::optional<CsvOptions> options = dialogs.chooseCsvOptions(*bytes, {});
        if (!options) return 1;
        ctx.view.setBusy(true);
        result = importCsv(*bytes, titleNameOf(path), *options);
        ctx.view.setBusy(false);
        return appendTitles(ctx, result);
    });
}

bool ImportAnkiPath(DataContext& ctx, const std::string& path, DeckImportDialogs& dialogs) {
    return importPath(ctx, path, [&](DeckImport& result) {
        const std::optional<std::string> bytes = readInput(ctx, path, kCollectionLimit);
        if (!bytes) return -1;
        ctx.view.setBusy(true);
        const AnkiRead read = readAnkiPackage(*bytes);
        ctx.view.setBusy(false);
        if (read.status != AnkiStatus::Ok) {
            ctx.prompter.error(read.message + "\n" + path);
            return -1;
        }
        const std::vector<AnkiDeckInfo> decks = ankiDecks(read.collection);
        if (decks.empty()) {
            ctx.prompter.error("ノートのあるデッキがありません。\n" + path);
            return -1;
        }
        std::optional<AnkiOptions> options = dialogs.chooseAnkiOptions(read.collection, decks);
        if (!options) return 1;
        if (options->decks.empty()) {
            ctx.prompter.error("デッキが選ばれていません（デッキは" + std::to_string(decks.size()) +
                               "個あります）。");
            return -1;
        }
        ctx.view.setBusy(true);
        result = importAnki(read.collection, *options);
        ctx.view.setBusy(false);
        return appendTitles(ctx, result);
    });
}

void ImportCsvFile(DataContext& ctx, DeckImportDialogs& dialogs) {
    FileDialogRequest request;
    request.filter = "CSV (*.csv)|*.csv|Text (*.txt;*.tsv)|*.txt;*.tsv|All (*.*)|*.*";
    request.folder = ctx.values.dataFolder;
    if (const auto path = ctx.prompter.openFile(request)) ImportCsvPath(ctx, *path, dialogs);
}

void ImportAnkiFile(DataContext& ctx, DeckImportDialogs& dialogs) {
    FileDialogRequest request;
    request.filter = "Anki (*.apkg;*.colpkg)|*.apkg;*.colpkg|All (*.*)|*.*";
    request.folder = ctx.values.dataFolder;
    if (const auto path = ctx.prompter.openFile(request)) ImportAnkiPath(ctx, *path, dialogs);
}

} // namespace rovik::decks

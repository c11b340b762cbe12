#include "import/FiveChoice.h"

#include "data/DataContext.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "import/TextImport.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "quiz/QuizGenerator.h"
#include "settings/ProgramValues.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace rovik {
namespace {

constexpr std::size_t kNameBytes = 16;
constexpr std::size_t kCountOffset = 18;
constexpr std::size_t kQuestionBytes = 116;
constexpr std::size_t kChoiceBytes = 28;
constexpr int kChoices = 5;

std::size_t questionCountOf(const std::string& bytes, std::size_t block) {
    const std::size_t at = block * kFiveChoiceBlockBytes + kCountOffset;
    return static_cast<unsigned char>(bytes[at]) |
           static_cast<std::size_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

// A text field: inverted when stored so, filler bytes at its end set to zero (the first byte
// always stays), then cut at the first zero byte.
std::string fieldText(const std::string& bytes, std::size_t offset, std::size_t size, unsigned char filler,
                      bool inverted) {
    std::string field = bytes.substr(offset, size);
    if (inverted)
        for (char& c : field)
            c = static_cast<char>(static_cast<unsigned char>(c) ^ 0x80);
    for (std::size_t i = field.size(); i-- > 1 && static_cast<unsigned char>(field[i]) == filler;)
        field[i] = '\0';
    field.erase(std::min(field.find('\0'), field.size()));
    // A tab or line break would split the item or the line it goes into.
    for (char& c : field)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return field;
}

bool readUpTo(std::FILE* f, std::string& bytes, std::size_t wanted) {
    char buffer[1 << 16];
    while (wanted > 0) {
        std::size_t n = std::fread(buffer, 1, std::min(wanted, sizeof buffer), f);
        bytes.append(buffer, n);
        wanted -= n;
        if (n == 0) break;
    }
    return !std::ferror(f);
}

} // namespace

FiveChoiceFile readFiveChoiceFile(const std::string& path) {
    FiveChoiceFile file;
    if (folderExists(path)) return file;
    std::FILE* f = openFile(path, "rb");
    if (!f) return file;
    bool ok = readUpTo(f, file.bytes, kFiveChoiceHeaderBytes);
    if (ok && file.bytes.size() == kFiveChoiceHeaderBytes) {
        for (std::size_t k = 0; k < kFiveChoiceCategories; ++k)
            file.announced += questionCountOf(file.bytes, k);
        // Read block by block as far as the file goes, so absurd counts cost no memory.
        ok = readUpTo(f, file.bytes, file.announced * kFiveChoiceBlockBytes);
        file.present = (file.bytes.size() - kFiveChoiceHeaderBytes) / kFiveChoiceBlockBytes;
    }
    std::fclose(f);
    if (!ok)
        file.status = FiveChoiceStatus::CannotOpen;
    else if (file.bytes.size() < kFiveChoiceHeaderBytes)
        file.status = FiveChoiceStatus::ShortHeader;
    else if (file.present < file.announced)
        file.status = FiveChoiceStatus::ShortQuestions;
    else
        file.status = FiveChoiceStatus::Ok;
    if (file.status != FiveChoiceStatus::Ok) file.bytes.clear();
    return file;
}

std::string fiveChoiceMessage(const FiveChoiceFile& file) {
    switch (file.status) {
    case FiveChoiceStatus::Ok:
        return {};
    case FiveChoiceStatus::CannotOpen:
        return "ファイルが開けません";
    case FiveChoiceStatus::ShortHeader:
        return "ごたくファイルではありません。\nファイルが分類の見出し（2048バイト）より短いです。";
    case FiveChoiceStatus::ShortQuestions:
        return "ごたくファイルが途中で終わっています。\n問題数" + std::to_string(file.announced) +
               "問のうち" + std::to_string(file.present) + "問分しかありません。";
    }
    return {};
}

std::vector<std::string> fiveChoiceLines(const std::string& bytes, const std::string& titleName,
                                         bool showChoices, QuizGenerator& generator) {
    std::vector<std::string> lines{"tTitle\t" + titleName + "\t7\t2"};
    if (bytes.size() < kFiveChoiceHeaderBytes) return lines;
    std::size_t cumulative[kFiveChoiceCategories];
    std::size_t total = 0;
    for (std::size_t k = 0; k < kFiveChoiceCategories; ++k) {
        total += questionCountOf(bytes, k);
        cumulative[k] = total;
        lines.push_back("dBunrui\t" + fieldText(bytes, k * kFiveChoiceBlockBytes, kNameBytes, 0x20, false));
    }
    const std::string marker = toCp932("　●");
    for (std::size_t q = 0; q < total; ++q) {
        const std::size_t block = kFiveChoiceHeaderBytes + q * kFiveChoiceBlockBytes;
        if (block + kFiveChoiceBlockBytes > bytes.size()) break;
        const std::string question = fieldText(bytes, block, kQuestionBytes, 0xA0, true);
        std::string choices[kChoices];
        for (int c = 0; c < kChoices; ++c)
            choices[c] =
                fieldText(bytes, block + kQuestionBytes + kChoiceBytes * c, kChoiceBytes, 0xA0, true);
        int order[kChoices] = {1, 2, 3, 4, 5};
        for (int p = 1; p <= kChoices; ++p)
            std::swap(order[p - 1], order[generator.next() % kChoices]);
        std::size_t k = 0;
        while (q >= cumulative[k])
            ++k;
        std::string line = std::to_string(k + 1) + "0\t" + question;
        if (showChoices)
            for (int p = 0; p < kChoices; ++p)
                line += marker + choices[order[p] - 1];
        line += "\t" + choices[0] + "\t\t0";
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string fiveChoiceText(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

std::string fiveChoiceTextPath(const ProgramValues& values, const std::string& path) {
    std::string name = fileNameOf(path);
    name.erase(std::min(name.find('.'), name.size()));
    return startFolderFile(values, name + ".txt");
}

std::optional<std::string> ConvertFiveChoice(DataContext& ctx, const std::string& path,
                                             QuizGenerator& generator) {
    std::optional<bool> showChoices = ctx.prompter.chooseShowChoices();
    if (!showChoices) return std::nullopt;
    FiveChoiceFile file = readFiveChoiceFile(path);
    if (file.status != FiveChoiceStatus::Ok) {
        const bool unreadable = file.status == FiveChoiceStatus::CannotOpen;
        ctx.prompter.ask(fiveChoiceMessage(file), unreadable ? "エラー" : "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok,
                         Icon::Error);
        return std::nullopt;
    }
    return fiveChoiceText(fiveChoiceLines(file.bytes, titleNameOf(path), *showChoices, generator));
}

int WriteFiveChoiceText(DataContext& ctx, const std::string& target, const std::string& text) {
    // The program's own overwrite question, as the install reservation asks it.
    if (fileExists(target) && ctx.prompter.ask(target + "はすでに存在します。上書きしますか？", "確認",
                                               Buttons::YesNo, Icon::Question) != Answer::Yes)
        return 1;
    if (!writeFileAtomically(target, text)) {
        ctx.prompter.error(saveFailedText(target));
        return -1;
    }
    return 0;
}

void ImportFiveChoiceFile(DataContext& ctx) {
    FileDialogRequest request;
    request.filter = "ごたくfiles (*.5TQ)|*.5tq";
    request.folder = ctx.values.dataFolder;
    std::optional<std::string> path = ctx.prompter.openFile(request);
    if (!path) return;
    if (!hasFiveChoiceExtension(*path)) {
        ctx.prompter.error("ファイルは .5tq を選択してください。", "ﾌｧｲﾙ ｴﾗｰ");
        return;
    }
    ImportFiveChoicePath(ctx, *path);
}

void ImportFiveChoicePath(DataContext& ctx, const std::string& path) {
    std::optional<std::string> text = ConvertFiveChoice(ctx, path, quizGenerator());
    if (!text) return;
    // Nothing is written before the user has chosen to append or replace.
    const std::string target = fiveChoiceTextPath(ctx.values, path);
    OpenedFile opened;
    opened.mustExist = false;
    OpenIntoSet(
        ctx, target,
        [&] {
            const int written = WriteFiveChoiceText(ctx, target, *text);
            return written != 0 ? written
                                : ReadAndValidate(ctx, target, EncodingChoice::Cp932); // ours, CP932
        },
        opened);
    // LoadQAText pointed the data folder at the start folder; the user's files are elsewhere.
    if (!folderOf(path).empty()) ctx.values.dataFolder = folderOf(path);
}

} // namespace rovik

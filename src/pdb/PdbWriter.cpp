#include "pdb/PdbWriter.h"

#include "data/Common.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "pdb/Pdbcommon.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/TextEncoding.h"
#include "settings/ProgramValues.h"

namespace rovik {
namespace {

constexpr std::size_t kHeaderSize = 78;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kNameField = 32;
constexpr std::size_t kMaxNameBytes = 31;

bool doubleByteAt(const std::string& text, std::size_t i) {
    return i + 1 < text.size() &&
           IsDoubleByte(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1]));
}

// Whatever follows the last single-byte `\` or `:`, up to the first single-byte `.`.
std::string namePart(const std::string& fileName) {
    std::size_t start = 0;
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < fileName.size();) {
        if (doubleByteAt(fileName, i)) {
            i += 2;
            continue;
        }
        if (fileName[i] == '\\' || fileName[i] == ':') {
            start = i + 1;
            dot = std::string::npos;
        } else if (fileName[i] == '.' && dot == std::string::npos) {
            dot = i;
        }
        ++i;
    }
    return dot == std::string::npos ? fileName.substr(start) : fileName.substr(start, dot - start);
}

// At most 31 bytes and never half a character; a double-byte character that begins at byte 28 or
// 29 ends the name, as names have always been cut for the handheld.
std::string shortened(const std::string& name) {
    if (name.size() <= kMaxNameBytes) return name;
    for (std::size_t i = 0; i < kMaxNameBytes;) {
        if (!doubleByteAt(name, i)) {
            ++i;
            continue;
        }
        if (i == 28 || i == 29) return name.substr(0, i + 2);
        if (i == 30) return name.substr(0, 30);
        i += 2;
    }
    return name.substr(0, kMaxNameBytes);
}

std::string headerOf(const std::string& name, std::uint32_t date, std::size_t lineCount) {
    std::string header = name;
    header += '\0';
    header.resize(kNameField - 1, ' ');
    header += '\0';
    putU16(header, 0); // attributes
    putU16(header, 1); // version
    for (int i = 0; i < 3; ++i)
        putU32(header, date);
    for (int i = 0; i < 3; ++i)
        putU32(header, 0); // modification number, app info, sort info
    header += "DataRvk2";
    putU32(header, 0); // unique ID seed
    putU32(header, 0); // next record list
    putU16(header, static_cast<std::uint16_t>(lineCount & 0xFFFF));
    return header;
}

std::string handheldName(std::string name) {
    name = shortened(name);
    // 泄 and 餃 in the first 30 bytes are stored as 0x14 0x14, matching the databases already on
    // handhelds; the scan goes byte by byte on purpose (a trail byte and a lead byte match too).
    for (std::size_t i = 0; i + 1 < name.size() && i < 30; ++i) {
        auto a = static_cast<unsigned char>(name[i]);
        auto b = static_cast<unsigned char>(name[i + 1]);
        if ((a == 0x9F && b == 0x95) || (a == 0xE9 && b == 0x4C)) name[i] = name[i + 1] = '\x14';
    }
    return name;
}

} // namespace

std::string databaseNameFromCp932(const std::string& fileName) {
    return handheldName(namePart(fileName));
}

DatabaseName databaseNameOf(const std::string& path) {
    // Only the platform's own separators end a folder: a raw Shift-JIS name holds 0x5C as the
    // trail byte of 表 or ソ, and a Linux name may hold "\" or ":" as characters. "." is never
    // part of a double-byte character, in UTF-8 or Shift-JIS.
    std::string fileName = fileNameOf(path);
    std::size_t dot = fileName.find('.');
    if (dot != std::string::npos) fileName.erase(dot);
    Cp932Encoding encoded = fileNameToCp932(fileName);
    return {handheldName(encoded.bytes), encoded.unmappable};
}

namespace {

// Lays the database out; with `convert`, lines that hold half-width katakana go in converted.
PdbImage layOut(const std::vector<std::string>& lines, const std::string& databaseName, std::uint32_t date,
                bool convert) {
    PdbImage image;
    const std::size_t n = lines.size();
    const std::size_t dataStart = kHeaderSize + kEntrySize * n;
    if (n > 0 && dataStart > kMaxPdbRecordOffset) {
        image.tooLarge = true;
        return image;
    }
    std::string& bytes = image.bytes;
    std::size_t estimate = dataStart;
    for (const auto& line : lines)
        estimate += line.size() + 2;
    bytes = headerOf(databaseName, date, n);
    bytes.reserve(estimate);
    for (std::size_t i = 0; i < n; ++i)
        bytes.append("\0\0\0\0\x40\0\0\0", kEntrySize); // offset set below, dirty, no unique ID
    std::string fixed;
    for (std::size_t i = 0; i < n; ++i) {
        if (bytes.size() > kMaxPdbRecordOffset) {
            image = PdbImage{};
            image.tooLarge = true;
            return image;
        }
        setU32At(bytes, kHeaderSize + kEntrySize * i, static_cast<std::uint32_t>(bytes.size()));
        const bool kana = convert && HasHalfWidthKana(lines[i]);
        if (kana) fixed = ToFullWidthKana(lines[i]);
        const std::string& text = kana ? fixed : lines[i];
        // The pad of WrittenLine (even records, comments as they are), appended in place.
        if ((text.size() + 1) % 2 == 1 && !isCommentLine(text)) bytes += ' ';
        bytes += text;
        bytes += '\n';
        if (kana) image.converted.emplace_back(i, std::move(fixed));
    }
    return image;
}

// The handheld takes no record longer than loading allows, counted as written (widened).
bool refuseLongRecord(const std::vector<std::string>& lines, Prompter& prompter) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const char* problem = recordLengthProblem(lines[i]);
        if (!problem) continue;
        prompter.error(std::to_string(i + 1) +
                       "行目のレコードが長すぎるため、ファイル保存はできませんでした。\n" +
                       shownLine(lines[i]) + "\n" + problem);
        return true;
    }
    return false;
}

} // namespace

PdbImage buildPdbImage(const std::vector<std::string>& lines, const std::string& databaseName,
                       std::uint32_t date) {
    PdbImage image = layOut(lines, databaseName, date, false);
    // Most sets hold no half-width katakana, and one scan of all records tells: line feeds and pad
    // spaces separate the lines as the test of each line would. Conversion only lengthens records,
    // so a set too large as it stands is too large converted too.
    if (!image.tooLarge && HasHalfWidthKana(image.bytes.substr(kHeaderSize + kEntrySize * lines.size())))
        image = layOut(lines, databaseName, date, true);
    return image;
}

int WritePdb(QuestionSet& set, const std::string& path, Prompter& prompter) {
    DatabaseName name = databaseNameOf(path);
    if (!name.unmappable.empty())
        prompter.ask("ファイル名の「" + name.unmappable +
                         "」はPDBのデータベース名に使えないため、除いて保存します。",
                     "確認", Buttons::Ok, Icon::Warning);
    if (refuseLongRecord(set.lines, prompter)) return -2;
    PdbImage image = buildPdbImage(set.lines, name.bytes, palmDateToday());
    if (image.tooLarge) {
        prompter.error("レコードが64KBを超えているためにファイル保存はできませんでした。");
        return -2;
    }
    if (!writeFileAtomically(path, image.bytes)) {
        prompter.error(saveFailedText(path));
        return -1;
    }
    for (auto& [index, line] : image.converted)
        set.lines[index] = std::move(line);
    set.saved = true;
    return 0;
}

std::string pdbSaveStatusText(int result, const std::string& path) {
    if (result == 0) return path + "を作成しました。";
    if (result == -2) return "データが大きいためにファイル保存はできませんでした。";
    return {};
}

std::string proposedPdbName(const std::string& currentFileName) {
    std::string stem;
    ItemOf(fileNameOf(currentFileName), stem, '.', 1);
    return stem + ".pdb";
}

int SaveQuestionSet(DataContext& ctx, const std::string& proposedName, const std::string& filter) {
    FileDialogRequest request;
    request.filter = filter;
    request.fileName = proposedName;
    request.folder = folderOf(proposedName).empty() ? ctx.values.dataFolder : folderOf(proposedName);
    std::optional<std::string> chosen = ctx.prompter.saveFile(request);
    if (!chosen) return 1;
    const std::string& path = *chosen;
    int result;
    if (hasTextExtension(path)) {
        result = SaveAsText(ctx.set, path, ctx.prompter, ctx.view);
    } else if (hasPdbExtension(path)) {
        result = WritePdb(ctx.set, path, ctx.prompter);
        std::string status = pdbSaveStatusText(result, path);
        if (!status.empty()) ctx.view.setStatusText(status);
    } else {
        ctx.prompter.error("ファイルの拡張子は .txtとしてください。", "ﾌｧｲﾙ ｴﾗｰ");
        return -1;
    }
    // A file that was not written is no file to open again.
    if (result == 0) AddRecentFile(ctx.values, path);
    return result;
}

int SaveQuestionSet(DataContext& ctx, const std::string& proposedName) {
    return SaveQuestionSet(ctx, proposedName,
                           hasPdbExtension(proposedName) ? kPdbSaveFilter : kTextSaveFilter);
}

} // namespace rovik

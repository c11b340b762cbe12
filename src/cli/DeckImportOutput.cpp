#include "cli/DeckImportOutput.h"

#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <filesystem>
#include <ostream>

namespace rovik::cli {

int readDeckInput(const std::string& path, std::uintmax_t limit, std::string& bytes, std::ostream& err) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), ec);
    if (!ec && size > limit) {
        err << "rovik-cli: " << path << ": larger than " << (limit >> 20) << " MB\n";
        return 3;
    }
    std::string error;
    if (!readWholeFile(path, bytes, &error)) {
        err << "rovik-cli: " << error << "\n";
        return 2;
    }
    return 0;
}

int finishDeckImport(const decks::DeckImport& result, const std::string& inPath, const std::string& outPath,
                     std::ostream& out, std::ostream& err) {
    if (result.outcome != decks::ImportOutcome::Done) {
        for (const auto& line : result.charLog)
            out << line << "\n";
        for (const auto& line : result.log)
            out << cp932ToUtf8(line) << "\n";
        if (!result.message.empty()) err << "rovik-cli: " << inPath << ": " << result.message << "\n";
        return result.outcome == decks::ImportOutcome::Unreadable ? 2 : 1;
    }
    QuestionSet set;
    set.lines = result.lines;
    std::string error;
    if (!writeFileAtomically(outPath, WriteQuestionLines(set, outPath), &error)) {
        err << "rovik-cli: " << error << "\n";
        return 2;
    }
    err << "rovik-cli: " << decks::importSummary(result) << "\n";
    return 0;
}

bool parseColumn(const std::string& text, bool allowNone, int& index) {
    if (allowNone && (text == "none" || text == "0")) {
        index = -1;
        return true;
    }
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int n = std::stoi(text);
    if (n < 1) return false;
    index = n - 1;
    return true;
}

} // namespace rovik::cli

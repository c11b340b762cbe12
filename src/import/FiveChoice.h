#pragma once
// Five-choice import: a ごたく quiz file (*.5tq: eight category blocks, then one 256-byte block
// per question with its text and five choices stored bit-inverted) becomes a QA text file in
// the start folder, one title with a record per question, which is then opened like any other.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rovik {

class QuizGenerator;
struct DataContext;
struct ProgramValues;

constexpr std::size_t kFiveChoiceBlockBytes = 256;
constexpr std::size_t kFiveChoiceCategories = 8;
constexpr std::size_t kFiveChoiceHeaderBytes = kFiveChoiceCategories * kFiveChoiceBlockBytes;

enum class FiveChoiceStatus {
    Ok,
    CannotOpen,    // the file cannot be opened or read
    ShortHeader,   // the file ends inside the eight category blocks
    ShortQuestions // the file ends before the question blocks its counts announce
};

// What was read of a 5TQ file: the eight category blocks and the question blocks they announce.
struct FiveChoiceFile {
    FiveChoiceStatus status = FiveChoiceStatus::CannotOpen;
    std::string bytes;         // header and the announced question blocks, nothing beyond
    std::size_t announced = 0; // questions the counts announce
    std::size_t present = 0;   // whole question blocks the file holds (up to `announced`)
};

// Reads only what the counts announce; never reads past the end of the file.
FiveChoiceFile readFiveChoiceFile(const std::string& path);

// The message of a failed read (UTF-8).
std::string fiveChoiceMessage(const FiveChoiceFile& file);

// The lines of the QA text made from a complete file: title header, eight category A lines, one
// record per question. Five generator values are drawn per question, whether or not the
// shuffled choices are shown.
std::vector<std::string> fiveChoiceLines(const std::string& bytes, const std::string& titleName,
                                         bool showChoices, QuizGenerator& generator);

// The bytes of the produced text file: every line followed by CR LF, as converted.
std::string fiveChoiceText(const std::vector<std::string>& lines);

// Where the import writes its text: start folder + base name of the 5TQ file + ".txt".
std::string fiveChoiceTextPath(const ProgramValues& values, const std::string& path);

// Asks whether to show the choices and reads the file: the text of the QA text file it makes, or
// nothing when cancelled, unreadable or broken (message shown, no generator value drawn).
std::optional<std::string> ConvertFiveChoice(DataContext& ctx, const std::string& path,
                                             QuizGenerator& generator);

// Writes the produced text to `target`, asking before it replaces a file: 0; 1 when the user
// keeps the existing file; -1 when it cannot be written (message shown, the old file kept).
int WriteFiveChoiceText(DataContext& ctx, const std::string& target, const std::string& text);

// The data list window's "ごたくﾌｧｲﾙを開く(&Q)": open dialog, conversion, then LoadQAText of the text.
void ImportFiveChoiceFile(DataContext& ctx);

// The same for a file already chosen (and its extension checked): conversion, LoadQAText of the
// produced text, then the data folder points at the 5TQ file's folder.
void ImportFiveChoicePath(DataContext& ctx, const std::string& path);

} // namespace rovik

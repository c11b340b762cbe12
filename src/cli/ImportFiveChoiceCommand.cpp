#include "cli/Cli.h"

#include "import/FiveChoice.h"
#include "import/TextImport.h"
#include "platform/FileIo.h"
#include "quiz/QuizGenerator.h"

#include <ostream>

namespace rovik::cli {
namespace {

const char* kUsage =
    "usage: rovik-cli import-5tq [--no-choices] IN.5tq OUT.txt\n"
    "\n"
    "Converts a five-choice quiz file into a QA text file as the data list window's import does:\n"
    "one title named after IN, a category A line per category block, and a record per question\n"
    "with the correct choice as answer. The question shows the five choices in a shuffled order\n"
    "unless --no-choices is given; the shuffle starts from the generator's first value.\n"
    "\n"
    "exit status: 0 written; 1 IN is shorter than its counts announce, nothing written;\n"
    "2 IN unreadable, OUT not writable or bad arguments\n";

int runImportFiveChoice(const Args& args, std::istream&, std::ostream&, std::ostream& err) {
    bool showChoices = true;
    std::vector<std::string> files;
    for (const auto& arg : args) {
        if (arg == "--no-choices") {
            showChoices = false;
        } else if (!arg.empty() && arg[0] != '-') {
            files.push_back(arg);
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (files.size() != 2) {
        err << kUsage;
        return 2;
    }
    FiveChoiceFile file = readFiveChoiceFile(files[0]);
    if (file.status != FiveChoiceStatus::Ok) {
        err << "rovik-cli: " << files[0] << ": " << fiveChoiceMessage(file) << "\n";
        return file.status == FiveChoiceStatus::CannotOpen ? 2 : 1;
    }
    // Each run starts the generator afresh, as the program does when it starts.
    QuizGenerator generator;
    const std::string text =
        fiveChoiceText(fiveChoiceLines(file.bytes, titleNameOf(files[0]), showChoices, generator));
    std::string error;
    if (!writeFileAtomically(files[1], text, &error)) {
        err << "rovik-cli: " << error << "\n";
        return 2;
    }
    return 0;
}

} // namespace

const Command& importFiveChoiceCommand() {
    static const Command command{"import-5tq", "convert a five-choice quiz file (5TQ) into a QA text file",
                                 kUsage, runImportFiveChoice};
    return command;
}

} // namespace rovik::cli

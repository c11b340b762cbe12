#pragma once
// rovik-cli: the program's operations for scripts and terminals. Texts to the terminal are
// UTF-8; files are CP932. Runs in-process so tests can compare exactly what it printed.
#include <iosfwd>
#include <string>
#include <vector>

namespace rovik::cli {

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* summary; // one line for the tool's --help
    const char* usage;   // the command's --help text
    int (*run)(const Args& args, std::istream& in, std::ostream& out, std::ostream& err);
};

// Runs the tool with its arguments (without the program name); returns the exit code.
int run(const Args& args, std::istream& in, std::ostream& out, std::ostream& err);

// Every command of the tool, in the order its --help lists them.
std::vector<const Command*> commands();

// The commands, each defined in its own file.
const Command& checkCommand();
const Command& toPdbCommand();
const Command& toTextCommand();
const Command& importTabCommand();
const Command& importFiveChoiceCommand();
const Command& importCsvCommand();  // with the decks room only
const Command& importApkgCommand(); // with the decks room only
const Command& quizCommand();
const Command& statsCommand();      // with the quiz history only
const Command& exportApkgCommand(); // with the decks only
const Command& exportCsvCommand();  // with the decks only
const Command& installCommand();
const Command& targetsCommand();

// True when args hold "--help" or "-h".
bool wantsHelp(const Args& args);

} // namespace rovik::cli

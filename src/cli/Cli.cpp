#include "cli/Cli.h"

#include "settings/Version.h"

#include <exception>
#include <ostream>

namespace rovik::cli {

// Commands register here as they are built.
std::vector<const Command*> commands() {
    return {
        &checkCommand(),
        &toPdbCommand(),
        &toTextCommand(),
        &importTabCommand(),
        &importFiveChoiceCommand(),
#ifdef ROVIK_DECKS
        &importCsvCommand(),
        &importApkgCommand(),
#endif
        &quizCommand(),
#ifdef ROVIK_HISTORY
        &statsCommand(),
#endif
#ifdef ROVIK_DECKS
        &exportApkgCommand(),
        &exportCsvCommand(),
#endif
        &installCommand(),
        &targetsCommand(),
    };
}

namespace {

void printToolHelp(std::ostream& out) {
    out << "usage: rovik-cli COMMAND [ARGS]\n\ncommands:\n";
    for (const Command* c : commands())
        out << "  " << c->name << "\t" << c->summary << "\n";
    out << "\n'rovik-cli COMMAND --help' describes a command; 'rovik-cli --version' prints the version.\n";
}

} // namespace

bool wantsHelp(const Args& args) {
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

int run(const Args& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        printToolHelp(args.empty() ? err : out);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--version") {
        out << "rovik-cli " << kVersion << "\n";
        return 0;
    }
    for (const Command* c : commands()) {
        if (args[0] != c->name) continue;
        Args rest(args.begin() + 1, args.end());
        if (wantsHelp(rest)) {
            out << c->usage;
            return 0;
        }
        // A path the system cannot convert, a vanished current folder: said and ended, never
        // left to terminate the program.
        try {
            return c->run(rest, in, out, err);
        } catch (const std::exception& e) {
            err << "rovik-cli " << c->name << ": " << e.what() << "\n";
        } catch (...) {
            err << "rovik-cli " << c->name << ": unexpected error\n";
        }
        return 2;
    }
    err << "rovik-cli: unknown command '" << args[0] << "'\n";
    printToolHelp(err);
    return 2;
}

} // namespace rovik::cli

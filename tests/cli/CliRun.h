#pragma once
// rovik-cli run in-process: its exit status and what it printed.
#include "cli/Cli.h"

#include <sstream>
#include <string>

namespace rovik::test {

struct CliResult {
    int code;
    std::string out;
    std::string err;
};

inline CliResult runCli(const cli::Args& args, const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = cli::run(args, in, out, err);
    return {code, out.str(), err.str()};
}

} // namespace rovik::test

#pragma once
// glimmerbox-cli run in-process, its streams kept.

#include "programs/cli/cli_commands.h"

#include <sstream>
#include <string>
#include <vector>

namespace gb::test {

struct CliRun {
    int status;
    std::string out, err;
};

inline CliRun runCli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = cli::runCommandLine(args, out, err);
    return CliRun{status, out.str(), err.str()};
}

} // namespace gb::test

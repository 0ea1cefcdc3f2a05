#pragma once
// The two commands of glimmerbox-cli, writing to the streams given so tests
// can run them in-process.

#include "programs/cli/cli_options.h"

#include <ostream>

namespace gb::cli {

int runList(const Command& command, std::ostream& out, std::ostream& err);
int runExport(const Command& command, std::ostream& out, std::ostream& err);

// Parses and runs; returns the exit status (0, 1, or 2 on bad usage).
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace gb::cli

#pragma once
// The two commands of glimmerbox-cli, writing to the streams given so tests
// can run them in-process.

#include "core/imagefiles/atomic_file.h"
#include "programs/cli/cli_options.h"

#include <ostream>

namespace gb::cli {

int runList(const Command& command, std::ostream& out, std::ostream& err);
// Files are written with `write`; tests pass a fake.
int runExport(const Command& command, std::ostream& out, std::ostream& err,
              const FileWriter& write = writeFileAtomically);

// Parses and runs; returns the exit status (0, 1, or 2 on bad usage).
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace gb::cli

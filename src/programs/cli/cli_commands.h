#pragma once
// The two commands of glimmerbox-cli, writing to the streams given so tests
// can run them in-process.

#include "core/catalogue/icon_origin.h"
#include "core/export/export_session.h"
#include "programs/cli/cli_options.h"

#include <ostream>
#include <string>

namespace gb::cli {

// The key of icon `index` of the source at `origin`: "PATH(INDEX)", or
// "PATH//MEMBER(INDEX)" for a container's member.
std::string keyOf(const IconOrigin& origin, int index);

int runList(const Command& command, std::ostream& out, std::ostream& err);
// Files are written through an export session, each staged with `stage`;
// tests pass a fake.
int runExport(const Command& command, std::ostream& out, std::ostream& err,
              const StageStep& stage = stageForGroupSync);

// The launcher command in its modes (see LauncherOptions).
int runLauncher(const Command& command, std::ostream& out, std::ostream& err);

// cursor-theme: a cursor theme from packs and programs.
int runCursorTheme(const Command& command, std::ostream& out, std::ostream& err);

// Parses and runs; returns the exit status (0, 1, or 2 on bad usage).
int runCommandLine(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace gb::cli

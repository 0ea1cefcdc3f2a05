#pragma once
// What the desktop program answers on its command line before any window is
// made: --help and --version print to standard output and end the program,
// so they work without a display. Qt-free, so the tests call it directly.

#include <optional>
#include <ostream>
#include <span>
#include <string>

namespace gb::window_program {

enum class Answer { RunWindow, Help, Version };

// --help (or -h) and --version, anywhere before a "--"; the first one given
// wins. Anything else is left to Qt and to the window (PATH).
Answer answerFor(std::span<const std::string> args);

std::string helpText();
std::string versionText(); // "glimmerbox VERSION\n"

// Prints the help or the version and returns the exit status (0) when the
// program should end here; nullopt when the window is to run.
std::optional<int> answerBeforeWindow(int argc, char** argv, std::ostream& out);

} // namespace gb::window_program

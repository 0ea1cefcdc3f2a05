#include "programs/glimmerbox/program_options.h"

#include "programs/version.h"

#include <vector>

namespace gb::window_program {

Answer answerFor(std::span<const std::string> args)
{
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return Answer::Help;
        if (arg == "--version")
            return Answer::Version;
    }
    return Answer::RunWindow;
}

std::string helpText()
{
    return R"help(Usage: glimmerbox [PATH]
       glimmerbox --help | --version

Finds the icons stored inside Windows program files (.exe, .dll, .ocx,
.cpl, 16-bit executables) and .ico, .cur and .ani files anywhere in a
folder tree, shows them in one catalogue, and saves them as ICO, BMP or PNG
files or into the icon theme.

PATH        a folder to put into the search path, or a file: its folder
            goes into the search path and a pattern that finds that file
            alone into the pattern field (as a file manager's "Open With"
            runs the program)
--help      prints this text and ends
--version   prints the program's version and ends

Qt's own options (-platform, -style, ...) are taken too. One copy runs per
user: a second one ends at once, silently.

See glimmerbox(1), and glimmerbox-cli(1) for the same engine in scripts.
)help";
}

std::string versionText()
{
    return "glimmerbox " + std::string(kProjectVersion) + "\n";
}

std::optional<int> answerBeforeWindow(int argc, char** argv, std::ostream& out)
{
    if (argc < 1)
        return std::nullopt;
    const std::vector<std::string> args(argv + 1, argv + argc);
    switch (answerFor(args)) {
    case Answer::RunWindow: return std::nullopt;
    case Answer::Help: out << helpText(); return 0;
    case Answer::Version: out << versionText(); return 0;
    }
    return std::nullopt;
}

} // namespace gb::window_program

// glimmerbox-cli cursor-theme: each role's cursor chosen from the sources,
// the theme written, and a line for each role saying where its cursor came
// from or why it has none.

#include "core/cursortheme/theme_choice.h"
#include "core/cursortheme/theme_writer.h"
#include "core/text/escaped_text.h"
#include "programs/cli/cli_commands.h"
#include "system/paths/app_paths.h"

namespace gb::cli {

namespace {

std::string outcomeText(const RoleReport& role)
{
    switch (role.outcome) {
    case RoleOutcome::Filled: return "filled from " + escapeText(role.detail);
    case RoleOutcome::Guessed: return "guessed from " + escapeText(role.detail);
    case RoleOutcome::Fallback: return "fallback " + role.detail;
    case RoleOutcome::Inherited: return "left to the inherited theme";
    case RoleOutcome::NotRead: return "not read: " + escapeText(role.detail);
    }
    return {};
}

} // namespace

int runCursorTheme(const Command& command, std::ostream& out, std::ostream& err)
{
    const CursorThemeOptions& options = command.cursorTheme;
    const ThemeChoice choice = chooseCursors(command.paths);
    for (const std::string& warning : choice.warnings)
        err << "warning: " << escapeText(warning) << '\n';
    for (const std::string& file : choice.unplaced)
        err << "not placed: " << escapeText(file) << '\n';
    for (const std::string& problem : choice.problems)
        err << "glimmerbox-cli: " << escapeText(problem) << '\n';
    if (choice.cursors.empty() && choice.unread.empty()) {
        err << "glimmerbox-cli: no cursor found for any role: nothing written\n";
        return 1;
    }
    const ThemeRequest request{options.outDir.value_or(userIconsFolder()), options.name, options.sizes};
    const auto report = writeCursorTheme(choice, request);
    if (!report) {
        err << "glimmerbox-cli: " << escapeText(report.error()) << '\n';
        return 1;
    }
    out << "wrote " << escapeText(report->folder) << "/index.theme\n";
    for (const RoleReport& role : report->roles)
        if (!role.file.empty())
            out << "wrote " << escapeText(report->folder) << "/cursors/" << role.file << " and " << role.links
                << (role.links == 1 ? " link\n" : " links\n");
    for (const RoleReport& role : report->roles) {
        out << namesOf(role.role).registryName << ": " << outcomeText(role);
        if (namesOf(role.role).themeNames.empty() &&
            (role.outcome == RoleOutcome::Filled || role.outcome == RoleOutcome::Guessed))
            out << " (no Linux name: not written)";
        out << '\n';
    }
    return report->complete() && choice.problems.empty() ? 0 : 1;
}

} // namespace gb::cli

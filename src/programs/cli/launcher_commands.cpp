// The launcher command: one launcher, a whole prefix's, and this tool's
// launchers listed, removed and pruned; Wine's own entries' icons made
// sharper. Each prints a line per launcher as it is done.

#include "core/launcher/launcher_menus.h"
#include "core/launcher/prefix_launchers.h"
#include "core/launcher/user_dirs.h"
#include "core/launcher/wine_entries.h"
#include "core/paths/path_lookup.h"
#include "core/text/escaped_text.h"
#include "core/wine/wine_prefix.h"
#include "programs/cli/cli_commands.h"
#include "system/paths/app_paths.h"

#include <cstdlib>

namespace gb::cli {

namespace {

constexpr int kExitOk = 0;
constexpr int kExitSomeFailed = 1;

std::string outcomeWord(LauncherOutcome outcome, bool wholePrefix)
{
    switch (outcome) {
    case LauncherOutcome::New: return "new";
    case LauncherOutcome::Replaced: return wholePrefix ? "updated" : "replaced";
    case LauncherOutcome::Unchanged: break;
    }
    return "unchanged";
}

void printNotes(const std::vector<LauncherNote>& notes, std::ostream& out)
{
    for (const LauncherNote& note : notes)
        out << "  note: " << escapeText(describe(note)) << '\n';
}

// Whether DIR is the user's own data folder (--data not given, or naming it).
bool isUsersOwnDataFolder(const std::string& dataDir)
{
    const auto home = defaultDataDir();
    return home && absoluteNormalPath(*home) == absoluteNormalPath(dataDir);
}

// The submenus follow the launchers there are; a menu that cannot be
// written leaves the launchers themselves in place, and is said. Only the
// user's own data folder has them: the menus read no other, and the menu
// files of the launchers there are not to be touched by a run elsewhere.

void syncMenus(const std::string& dataDir, std::ostream& err)
{
    const auto config = configHome();
    if (!config || !isUsersOwnDataFolder(dataDir))
        return;
    if (auto synced = syncLauncherMenus(dataDir, *config); !synced)
        err << "glimmerbox-cli: the launchers' submenus cannot be written: "
            << escapeText(synced.error().message) << '\n';
}

int makeOne(const Command& command, const std::string& dataDir, std::ostream& out, std::ostream& err)
{
    const LauncherOptions& options = command.launcherOptions;
    LauncherRequest request;
    request.path = command.paths.front();
    request.prefix = options.prefix;
    request.name = options.name;
    request.dataDir = dataDir;
    request.force = options.force;
    const auto plan = planLauncher(request);
    if (!plan) {
        err << "glimmerbox-cli: " << escapeText(describe(plan.error())) << '\n';
        return kExitSomeFailed;
    }
    const auto written = writeLauncher(*plan);
    if (!written) {
        err << "glimmerbox-cli: " << escapeText(describe(written.error())) << '\n';
        return kExitSomeFailed;
    }
    out << outcomeWord(written->outcome, false) << ": " << escapeText(written->file) << '\n';
    printNotes(plan->notes, out);
    syncMenus(dataDir, err);
    return kExitOk;
}

int makeAll(const std::string& prefix, const std::string& dataDir, bool force, std::ostream& out,
            std::ostream& err)
{
    if (!isWinePrefix(prefix)) {
        err << "glimmerbox-cli: "
            << escapeText(describe(LauncherError{LauncherProblem::NotWinePrefix, prefix, {}, {}, {}}))
            << '\n';
        return kExitSomeFailed;
    }
    bool refused = false;
    makePrefixLaunchers(prefix, dataDir, force, [&](const PrefixLauncher& made) {
        if (!made.written) {
            refused = true;
            out << "refused: " << escapeText(made.shortcut) << ": "
                << escapeText(describe(made.written.error())) << '\n';
            return;
        }
        out << outcomeWord(made.written->outcome, true) << ": " << escapeText(made.shortcut) << " -> "
            << escapeText(made.written->file) << '\n';
        printNotes(made.notes, out);
        out.flush();
    });
    syncMenus(dataDir, err);
    return refused ? kExitSomeFailed : kExitOk;
}

int list(const std::string& dataDir, std::ostream& out)
{
    for (const OwnEntry& entry : ownEntries(dataDir + "/applications"))
        out << escapeText(entry.name) << '\t' << escapeText(entry.displayName) << '\t'
            << escapeText(entry.source) << '\t' << escapeText(entry.prefix.value_or("")) << '\n';
    return kExitOk;
}

int remove(const std::string& name, const std::string& dataDir, std::ostream& out, std::ostream& err)
{
    const auto entry = findOwnLauncher(dataDir, name);
    if (!entry) {
        err << "glimmerbox-cli: " << escapeText(name) << ": no launcher of that name made by glimmerbox\n";
        return kExitSomeFailed;
    }
    if (const std::error_code error = removeOwnEntry(*entry, dataDir + "/icons")) {
        err << "glimmerbox-cli: " << escapeText(entry->file) << ": cannot be removed: " << error.message()
            << '\n';
        return kExitSomeFailed;
    }
    out << "removed: " << escapeText(entry->file) << '\n';
    syncMenus(dataDir, err);
    return kExitOk;
}

int prune(const std::optional<std::string>& prefix, const std::string& dataDir, std::ostream& out,
          std::ostream& err)
{
    bool failed = false;
    for (const RemovedLauncher& removed : pruneLaunchers(dataDir, prefix)) {
        if (removed.error) {
            failed = true;
            err << "glimmerbox-cli: " << escapeText(removed.entry.file)
                << ": cannot be removed: " << removed.error.message() << '\n';
            continue;
        }
        out << "removed: " << escapeText(removed.entry.file) << " (" << escapeText(removed.entry.source)
            << " is gone)\n";
    }
    syncMenus(dataDir, err);
    return failed ? kExitSomeFailed : kExitOk;
}

int refreshWine(const std::optional<std::string>& prefix, const std::string& dataDir, std::ostream& out)
{
    bool failed = false;
    // Only for the user's own data folder: a run with --data elsewhere does
    // not take the user's Desktop entries there.
    const char* home = std::getenv("HOME");
    const std::optional<std::string> desktop =
        isUsersOwnDataFolder(dataDir) && home != nullptr && *home == '/'
            ? std::optional(usersDesktopFolder(configHome(), home))
            : std::nullopt;
    refreshWineEntries(dataDir, desktop, prefix, defaultWinePrefix().value_or("/nonexistent"),
                       [&](const RefreshedWineEntry& entry) {
                           if (entry.problem) {
                               failed = true;
                               out << "passed over: " << escapeText(entry.entry) << ": "
                                   << escapeText(*entry.problem) << '\n';
                               return;
                           }
                           out << "refreshed: " << escapeText(entry.entry) << " (" << escapeText(entry.icon);
                           for (const int size : entry.sizes)
                               out << ' ' << size;
                           out << ")\n";
                       });
    return failed ? kExitSomeFailed : kExitOk;
}

} // namespace

int runLauncher(const Command& command, std::ostream& out, std::ostream& err)
{
    using Mode = LauncherOptions::Mode;
    const LauncherOptions& options = command.launcherOptions;
    const std::string dataDir = options.dataDir.value_or(defaultDataDir().value_or(""));
    if (dataDir.empty()) {
        err << "glimmerbox-cli: " << describe(LauncherError{LauncherProblem::NoDataDir, {}, {}, {}, {}})
            << '\n';
        return kExitSomeFailed;
    }
    const std::optional<std::string> prefix =
        options.prefix ? std::optional(absoluteNormalPath(*options.prefix)) : std::nullopt;
    switch (options.mode) {
    case Mode::One: return makeOne(command, dataDir, out, err);
    case Mode::All: {
        const auto wine = prefix ? prefix : defaultWinePrefix();
        if (!wine) {
            err << "glimmerbox-cli: no Wine prefix: give --prefix, or set WINEPREFIX or HOME\n";
            return kExitSomeFailed;
        }
        return makeAll(absoluteNormalPath(*wine), dataDir, options.force, out, err);
    }
    case Mode::List: return list(dataDir, out);
    case Mode::Remove: return remove(options.removeName, dataDir, out, err);
    case Mode::Prune: return prune(prefix, dataDir, out, err);
    case Mode::RefreshWine: return refreshWine(prefix, dataDir, out);
    }
    return kExitSomeFailed;
}

} // namespace gb::cli

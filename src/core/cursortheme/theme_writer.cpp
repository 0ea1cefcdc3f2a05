#include "core/cursortheme/theme_writer.h"

#include "core/cursors/cursor_sizes.h"
#include "core/cursors/cursor_write_error.h"
#include "core/cursors/xcursor_writer.h"
#include "core/files/atomic_file.h"
#include "core/jobs/ordered_work.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace gb {

namespace {

namespace fs = std::filesystem;

std::string systemText(int error)
{
    return std::generic_category().message(error);
}

// The folder of that name is ours to replace: a real folder (not a link)
// whose index.theme carries the marker.
std::expected<bool, std::string> existingIsOurs(const std::string& folder)
{
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return false;
        return std::unexpected(folder + ": " + systemText(errno));
    }
    const std::string refusal =
        folder + " exists and was not made by glimmerbox-cli cursor-theme: left alone";
    if (!S_ISDIR(info.st_mode))
        return std::unexpected(refusal);
    // Only a regular file is opened: a FIFO of that name would block.
    const std::string indexPath = folder + "/index.theme";
    if (lstat(indexPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::unexpected(refusal);
    std::ifstream index(indexPath);
    std::string line;
    while (std::getline(index, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == kThemeMarker)
            return true;
    }
    return std::unexpected(refusal);
}

struct Written {
    std::string file;
    int links = 0;
};

// One role's Xcursor file, or why it cannot be made.
std::expected<std::vector<std::byte>, std::string> encodeRole(const Cursor& cursor,
                                                              const std::vector<int>& sizes)
{
    auto sized = cursorAtSizes(cursor, sizes);
    if (!sized)
        return std::unexpected(std::string("cannot be written: ") + cursorWriteErrorName(sized.error()));
    auto bytes = encodeXcursor(*sized);
    if (!bytes)
        return std::unexpected(std::string("cannot be written: ") + cursorWriteErrorName(bytes.error()));
    return std::move(*bytes);
}

// The role's file and its links in `cursors`, or why not.
std::expected<Written, std::string> placeRole(const std::string& cursors, const CursorRoleNames& names,
                                              std::span<const std::byte> bytes)
{
    const std::string main(names.themeNames.front());
    if (auto file = writeFileInStagedFolder(cursors + "/" + main, bytes); !file)
        return std::unexpected(file.error().message);
    Written written{main, 0};
    for (std::size_t i = 1; i < names.themeNames.size(); ++i) {
        const std::string link = cursors + "/" + std::string(names.themeNames[i]);
        if (symlink(main.c_str(), link.c_str()) != 0)
            return std::unexpected(link + ": " + systemText(errno));
        ++written.links;
    }
    return written;
}

// The role's report and the cursor it takes, if any.
std::pair<RoleReport, const Cursor*> roleChoice(const ThemeChoice& choice, const CursorRoleNames& names)
{
    RoleReport role{.role = names.role};
    const Cursor* cursor = nullptr;
    if (const auto own = choice.cursors.find(names.role); own != choice.cursors.end()) {
        role.outcome = own->second.guessed ? RoleOutcome::Guessed : RoleOutcome::Filled;
        role.detail = own->second.from;
        cursor = &own->second.cursor;
    } else if (const auto unread = choice.unread.find(names.role); unread != choice.unread.end()) {
        role.outcome = RoleOutcome::NotRead;
        role.detail = unread->second;
    } else if (names.fallback && choice.cursors.contains(*names.fallback)) {
        role.outcome = RoleOutcome::Fallback;
        role.detail = std::string(namesOf(*names.fallback).registryName);
        cursor = &choice.cursors.at(*names.fallback).cursor;
    }
    return {std::move(role), names.themeNames.empty() ? nullptr : cursor};
}

// Puts the folder made at `staged` at `folder`: swapped with our old theme
// in one step, or renamed where nothing is.
std::expected<void, std::string> putInPlace(const std::string& staged, const std::string& folder,
                                            bool replacing)
{
    const unsigned flags = replacing ? RENAME_EXCHANGE : RENAME_NOREPLACE;
    if (renameat2(AT_FDCWD, staged.c_str(), AT_FDCWD, folder.c_str(), flags) != 0)
        return std::unexpected(folder + ": " + systemText(errno));
    return {};
}

} // namespace

bool ThemeReport::complete() const
{
    return std::ranges::none_of(roles, [](const RoleReport& r) { return r.outcome == RoleOutcome::NotRead; });
}

bool themeNameUsable(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           !holdsControlCharacter(name);
}

std::string indexThemeText(std::string_view name)
{
    std::string text = "[Icon Theme]\nName=";
    text += name;
    text += "\nComment=Windows cursors converted by glimmerbox-cli\nInherits=default\n";
    text += kThemeMarker;
    text += '\n';
    return text;
}

std::expected<ThemeReport, std::string> writeCursorTheme(const ThemeChoice& choice,
                                                         const ThemeRequest& request)
{
    if (!themeNameUsable(request.name))
        return std::unexpected(
            "the theme's name may not be empty, hold '/' or a control character, or be . or ..");
    const std::string folder = request.dir + "/" + request.name;
    const auto ours = existingIsOurs(folder);
    if (!ours)
        return std::unexpected(ours.error());
    std::error_code error;
    fs::create_directories(request.dir, error);
    if (error)
        return std::unexpected(request.dir + ": " + error.message());
    std::string pattern = request.dir + "/." + request.name + ".XXXXXX";
    if (!mkdtemp(pattern.data()))
        return std::unexpected(request.dir + ": " + systemText(errno));
    const std::string staged = pattern;
    // Themes are read by every program of the session: the folder is made
    // readable as a theme installed by hand would be.
    chmod(staged.c_str(), 0755);
    const auto fail = [&](std::string reason) {
        fs::remove_all(staged, error);
        return std::unexpected(std::move(reason));
    };
    // Every file is written under its own name in the staged folder, which
    // no program looks at, and the file system synced once before the
    // folder is put in place: a theme of 17 cursors costs one sync, not 17.
    const std::string index = indexThemeText(request.name);
    if (auto indexFile = writeFileInStagedFolder(staged + "/index.theme", std::as_bytes(std::span(index)));
        !indexFile)
        return fail(indexFile.error().message);
    const std::string cursors = staged + "/cursors";
    if (mkdir(cursors.c_str(), 0755) != 0)
        return fail(cursors + ": " + systemText(errno));

    ThemeReport report{folder, {}};
    std::vector<const Cursor*> taken;
    for (const CursorRoleNames& names : cursorRoles()) {
        auto [role, cursor] = roleChoice(choice, names);
        report.roles.push_back(std::move(role));
        taken.push_back(cursor);
    }
    // Each role's file is made (sizes resampled, encoded) and written with
    // its links on every core; the roles' names never meet, and the report
    // is filled in role order.
    using Placed = std::pair<std::size_t, std::expected<Written, std::string>>;
    OrderedWork<std::size_t, Placed> work(
        allCores(),
        [&](std::size_t& i) {
            auto bytes = encodeRole(*taken[i], request.sizes);
            if (!bytes)
                return Placed{i, std::unexpected(std::move(bytes.error()))};
            return Placed{i, placeRole(cursors, cursorRoles()[i], *bytes)};
        },
        [&](Placed& placed) {
            RoleReport& role = report.roles[placed.first];
            if (placed.second) {
                role.file = placed.second->file;
                role.links = placed.second->links;
            } else {
                role.outcome = RoleOutcome::NotRead;
                role.detail = placed.second.error();
            }
        });
    for (std::size_t i = 0; i < taken.size(); ++i)
        if (taken[i] != nullptr)
            work.submit(i);
    work.finish();
    if (auto synced = syncStagedFiles(staged); !synced)
        return fail(synced.error().message);
    if (auto placed = putInPlace(staged, folder, *ours); !placed)
        return fail(placed.error());
    // After the swap the staged name holds the old theme.
    if (*ours)
        fs::remove_all(staged, error);
    syncFolder(folder);
    return report;
}

} // namespace gb

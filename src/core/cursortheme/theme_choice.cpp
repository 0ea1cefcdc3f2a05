#include "core/cursortheme/theme_choice.h"

#include "core/bytes/file_source.h"
#include "core/cursors/cursor_reader.h"
#include "core/cursors/install_inf.h"
#include "core/cursortheme/pack_files.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace gb {

namespace {

// The first cursor of a cursor file, or why there is none.
std::expected<Cursor, std::string> firstCursor(const PackFile& file)
{
    auto bytes = file.open();
    if (!bytes)
        return std::unexpected(bytes.error());
    auto found = readCursors(**bytes);
    if (!found)
        return std::unexpected(describe(found.error()));
    if (found->empty())
        return std::unexpected(std::string("holds no cursor"));
    auto& first = found->front().cursor;
    if (!first)
        return std::unexpected(describe(first.error()));
    return std::move(*first);
}

void take(ThemeChoice& choice, CursorRole role, const PackFile& file, bool guessed)
{
    auto cursor = firstCursor(file);
    if (!cursor) {
        choice.unread[role] = file.shown + ": " + cursor.error();
        return;
    }
    choice.unread.erase(role);
    choice.cursors[role] = ChosenCursor{guessed, file.shown, std::move(*cursor)};
}

bool open(const ThemeChoice& choice, CursorRole role)
{
    return !choice.cursors.contains(role);
}

const PackFile* named(const PackFolder& pack, const std::string& name)
{
    const auto exact = std::ranges::find(pack.files, name, &PackFile::name);
    if (exact != pack.files.end())
        return &*exact;
    for (const PackFile& file : pack.files)
        if (equalIgnoringAsciiCase(file.name, name))
            return &file;
    return nullptr;
}

// The pack's install.inf (any case), else its only other .inf.
const PackFile* infOf(const PackFolder& pack)
{
    if (const PackFile* inf = named(pack, "install.inf"))
        return inf;
    const PackFile* only = nullptr;
    for (const PackFile& file : pack.files)
        if (hasInfName(file.name)) {
            if (only)
                return nullptr;
            only = &file;
        }
    return only;
}

std::optional<CursorScheme> schemeOf(const PackFile& inf, ThemeChoice& choice)
{
    auto source = inf.open();
    if (!source) {
        choice.warnings.push_back(inf.shown + ": cannot be read: " + source.error());
        return std::nullopt;
    }
    const std::uint64_t size = std::min<std::uint64_t>((*source)->size(), kMaxInfBytes);
    auto bytes = readRange(**source, 0, size);
    if (!bytes) {
        choice.warnings.push_back(inf.shown + ": cannot be read whole");
        return std::nullopt;
    }
    auto scheme = readCursorScheme(*bytes);
    if (!scheme)
        choice.warnings.push_back(inf.shown + ": installs no cursor scheme; roles guessed from file names");
    return scheme;
}

void chooseFromPack(const PackFolder& pack, ThemeChoice& choice)
{
    for (const std::string& note : pack.notes)
        choice.warnings.push_back(note);
    if (const PackFile* inf = infOf(pack)) {
        if (const auto scheme = schemeOf(*inf, choice)) {
            for (const auto& [role, name] : scheme->files) {
                if (!open(choice, role))
                    continue;
                if (const PackFile* file = named(pack, name))
                    take(choice, role, *file, false);
                else
                    choice.warnings.push_back(inf->shown + " names \"" + name + "\" for " +
                                              std::string(namesOf(role).registryName) +
                                              ", which the pack lacks");
            }
            return;
        }
    }
    std::map<CursorRole, const PackFile*> guessed;
    for (const PackFile& file : pack.files) {
        if (!hasCursorFileName(file.name))
            continue;
        const auto role = roleOfFileName(std::string_view(file.name).substr(0, file.name.size() - 4));
        if (!role) {
            choice.unplaced.push_back(file.shown + ": no role is known by that name");
            continue;
        }
        if (const auto other = guessed.find(*role); other != guessed.end()) {
            choice.unplaced.push_back(file.shown + ": " + std::string(namesOf(*role).registryName) +
                                      " is already " + other->second->shown);
            continue;
        }
        guessed[*role] = &file;
        if (open(choice, *role))
            take(choice, *role, file, true);
    }
    if (guessed.empty())
        choice.warnings.emplace_back("no cursor of a known role in the pack");
}

// A program or library: the standard cursors by their resource ids.
void chooseFromProgram(const std::string& path, const ByteSource& bytes, ThemeChoice& choice)
{
    auto found = readCursors(bytes);
    if (!found) {
        choice.problems.push_back(path + ": " +
                                  (found.error().read.reason == ReadError::NotIconSource
                                       ? std::string("neither a cursor pack nor a program holding cursors")
                                       : describe(found.error())));
        return;
    }
    bool any = false;
    for (FoundCursor& one : *found) {
        if (!one.resource || one.resource->id == 0)
            continue;
        const auto role = roleOfResourceId(one.resource->id);
        if (!role)
            continue;
        any = true;
        if (!open(choice, *role))
            continue;
        const std::string from = path + " resource " + std::to_string(one.resource->id);
        if (!one.cursor) {
            choice.unread[*role] = from + ": " + describe(one.cursor.error());
            continue;
        }
        choice.unread.erase(*role);
        choice.cursors[*role] = ChosenCursor{false, from, std::move(*one.cursor)};
    }
    if (!any)
        choice.problems.push_back(path + ": holds no cursor of a standard id");
}

} // namespace

void chooseFromSource(const std::string& path, ThemeChoice& choice, const ContainerLimits& limits)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        chooseFromPack(packOnDisk(path), choice);
        return;
    }
    auto file = FileSource::open(path);
    if (!file) {
        choice.problems.push_back(path + ": " + describe(file.error()));
        return;
    }
    if (sniffContainer(*file) != ContainerKind::None) {
        const PackFolder pack = packInContainer(path, *file, limits);
        if (pack.files.empty()) {
            for (const std::string& note : pack.notes)
                choice.warnings.push_back(note);
            choice.problems.push_back(path + ": holds no cursor pack");
            return;
        }
        chooseFromPack(pack, choice);
        return;
    }
    // A cursor file of its own is a pack of one: its role by its name.
    if (hasCursorFileName(path)) {
        chooseFromPack(PackFolder{{fileOnDisk(path)}, {}}, choice);
        return;
    }
    chooseFromProgram(path, *file, choice);
}

ThemeChoice chooseCursors(const std::vector<std::string>& paths, const ContainerLimits& limits)
{
    ThemeChoice choice;
    for (const std::string& path : paths)
        chooseFromSource(path, choice, limits);
    return choice;
}

} // namespace gb

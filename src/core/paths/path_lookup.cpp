#include "core/paths/path_lookup.h"

#include "core/text/ascii.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {

namespace {

thread_local std::uint64_t listingsMade = 0;

std::string joined(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

bool isFileOrFolder(mode_t mode)
{
    return S_ISREG(mode) || S_ISDIR(mode);
}

// An entry as lstat sees it: examined, never opened.
struct Entry {
    std::string name; // as stored
    mode_t mode = 0;
};

std::optional<Entry> entryOf(const std::string& folder, const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    struct stat info {};
    if (::lstat(joined(folder, name).c_str(), &info) == 0)
        return Entry{name, info.st_mode};
    auto names = folderEntryNames(folder);
    if (!names)
        return std::nullopt;
    std::erase_if(*names, [&name](const std::string& entry) { return !equalIgnoringAsciiCase(entry, name); });
    if (names->empty())
        return std::nullopt;
    // Several names equal but for case: the one the lists show first.
    std::ranges::sort(*names, [](const std::string& a, const std::string& b) {
        const std::string la = asciiLowered(a), lb = asciiLowered(b);
        return la != lb ? la < lb : a < b;
    });
    if (::lstat(joined(folder, names->front()).c_str(), &info) != 0)
        return std::nullopt;
    return Entry{names->front(), info.st_mode};
}

// Where a link leads, worked out from its text alone, so that a link out of
// the fence is refused before anything there is looked at (a link into an
// automounter's folder would mount a share merely by being resolved).
std::string lexicalTarget(const std::string& link, const std::string& realFolder)
{
    std::string text(PATH_MAX, '\0');
    const ssize_t length = ::readlink(link.c_str(), text.data(), text.size());
    if (length <= 0)
        return {};
    text.resize(static_cast<std::size_t>(length));
    namespace fs = std::filesystem;
    const fs::path target = text.front() == '/' ? fs::path(text) : fs::path(realFolder) / text;
    std::string normal = target.lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

} // namespace

bool liesWithin(std::string_view path, std::string_view root)
{
    if (root == "/")
        return path.starts_with('/');
    return path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '/');
}

std::optional<std::string> realPathOf(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real)
        return std::nullopt;
    return std::string(real.get());
}

std::uint64_t folderListingsOnThisThread()
{
    return listingsMade;
}

std::optional<std::vector<std::string>> folderEntryNames(const std::string& folder)
{
    // opendir opens with O_DIRECTORY, which refuses anything but a folder
    // before a device's driver is reached.
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    ++listingsMade;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    return names;
}

std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    const auto entry = entryOf(folder, name);
    if (!entry)
        return std::nullopt;
    return joined(folder, entry->name);
}

std::expected<std::string, LookupProblem>
lookUpIgnoringCase(const std::string& base, std::string_view relative, const LookupFence& fence)
{
    const bool fenced = !fence.root.empty();
    std::string root = fence.root;
    std::string real; // where the lookup stands, links resolved; kept only when fenced
    struct stat info {};
    if (::stat(base.c_str(), &info) != 0)
        return std::unexpected(LookupProblem::Missing);
    if (!isFileOrFolder(info.st_mode))
        return std::unexpected(LookupProblem::NotFileOrFolder);
    if (fenced) {
        auto resolved = realPathOf(base);
        if (!resolved)
            return std::unexpected(LookupProblem::Missing);
        if (!liesWithin(*resolved, root))
            return std::unexpected(LookupProblem::LeavesFence);
        real = std::move(*resolved);
    }

    std::string path = base;
    std::size_t at = 0;
    while (at <= relative.size()) {
        const std::size_t end = std::min(relative.find_first_of("/\\", at), relative.size());
        const std::string component(relative.substr(at, end - at));
        at = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (component == "..")
            return std::unexpected(LookupProblem::Missing);
        const auto entry = entryOf(path, component);
        if (!entry)
            return std::unexpected(LookupProblem::Missing);
        const std::string next = joined(path, entry->name);
        if (S_ISLNK(entry->mode)) {
            if (fenced) {
                const bool drive = !fence.driveLinks.empty() && real == fence.driveLinks;
                if (!drive && !liesWithin(lexicalTarget(next, real), root))
                    return std::unexpected(LookupProblem::LeavesFence);
                auto resolved = realPathOf(next);
                if (!resolved)
                    return std::unexpected(LookupProblem::Missing);
                if (drive && !liesWithin(*resolved, root))
                    root = *resolved; // a drive of the prefix: anywhere it leads is the drive's own
                else if (!liesWithin(*resolved, root))
                    return std::unexpected(LookupProblem::LeavesFence);
                real = std::move(*resolved);
            }
            // Followed only to learn what it names; nothing is opened.
            if (::stat(next.c_str(), &info) != 0)
                return std::unexpected(LookupProblem::Missing);
            if (!isFileOrFolder(info.st_mode))
                return std::unexpected(LookupProblem::NotFileOrFolder);
        } else if (isFileOrFolder(entry->mode)) {
            if (fenced)
                real = joined(real, entry->name);
        } else {
            return std::unexpected(LookupProblem::NotFileOrFolder);
        }
        path = next;
    }
    return path;
}

std::optional<std::string> followIgnoringCase(const std::string& base, std::string_view relative)
{
    auto found = lookUpIgnoringCase(base, relative);
    if (!found)
        return std::nullopt;
    return std::move(*found);
}

std::string absoluteNormalPath(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::path(path), error).lexically_normal();
    if (absolute.has_relative_path() && !absolute.has_filename())
        absolute = absolute.parent_path();
    return error ? path : absolute.string();
}

} // namespace gb

#include "core/paths/path_lookup.h"

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace gb {

namespace {

char folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string joined(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

} // namespace

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return folded(x) == folded(y); });
}

std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    struct stat info {};
    if (::lstat(joined(folder, name).c_str(), &info) == 0)
        return joined(folder, name);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return std::nullopt;
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir.get()))
        if (equalIgnoringCase(entry->d_name, name))
            matches.emplace_back(entry->d_name);
    if (matches.empty())
        return std::nullopt;
    // Several names equal but for case: the one the lists show first.
    std::ranges::sort(matches, [](const std::string& a, const std::string& b) {
        const auto lower = [](const std::string& s) {
            std::string l = s;
            std::ranges::transform(l, l.begin(), folded);
            return l;
        };
        const std::string la = lower(a), lb = lower(b);
        return la != lb ? la < lb : a < b;
    });
    return joined(folder, matches.front());
}

std::optional<std::string> followIgnoringCase(const std::string& base, std::string_view relative)
{
    std::string path = base;
    std::size_t at = 0;
    while (at <= relative.size()) {
        const std::size_t end = std::min(relative.find_first_of("/\\", at), relative.size());
        const std::string component(relative.substr(at, end - at));
        at = end + 1;
        if (component.empty() || component == ".")
            continue;
        if (component == "..")
            return std::nullopt;
        auto found = findEntryIgnoringCase(path, component);
        if (!found)
            return std::nullopt;
        path = std::move(*found);
    }
    return path;
}

} // namespace gb

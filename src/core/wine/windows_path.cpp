#include "core/wine/windows_path.h"

#include "core/text/ascii.h"

#include <filesystem>
#include <string_view>

namespace gb {

namespace {

namespace fs = std::filesystem;

bool windowsName(std::string_view name)
{
    if (name.empty() || name.back() == ' ' || name.back() == '.')
        return false;
    for (const char c : name)
        if (isAsciiControl(c) || std::string_view("<>:\"|?*\\").find(c) != std::string_view::npos)
            return false;
    return true;
}

} // namespace

std::optional<std::string> windowsPathOf(const std::string& file, const std::string& prefix)
{
    std::error_code error;
    // The folder's real path and the file's own name: the name it is started
    // by is the one Wine names its process, and so its windows' class, after.
    const fs::path folder = fs::canonical(fs::path(file).parent_path(), error);
    if (error)
        return std::nullopt;
    const fs::path real = folder / fs::path(file).filename();
    std::optional<std::string> best;
    std::size_t deepest = 0;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const fs::path device = fs::path(prefix) / "dosdevices" / std::string{letter, ':'};
        const fs::path root = fs::canonical(device, error);
        if (error || !fs::is_directory(root, error))
            continue;
        const fs::path relative = real.lexically_relative(root);
        if (relative.empty() || *relative.begin() == "..")
            continue;
        const auto depth = static_cast<std::size_t>(std::distance(root.begin(), root.end()));
        if (best && depth <= deepest)
            continue;
        std::string path{static_cast<char>(letter - 'a' + 'A'), ':'};
        bool writable = true;
        for (const fs::path& name : relative) {
            if (name == ".")
                continue;
            writable = writable && windowsName(name.string());
            path += '\\';
            path += name.string();
        }
        if (path.size() == 2)
            path += '\\';
        if (!writable)
            continue;
        best = std::move(path);
        deepest = depth;
    }
    return best;
}

} // namespace gb

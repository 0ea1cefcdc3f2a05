#include "core/launcher/user_dirs.h"

#include "core/bytes/file_source.h"
#include "core/text/ascii.h"

namespace gb {

std::optional<std::string> userDirIn(std::string_view userDirs, std::string_view key, const std::string& home)
{
    std::optional<std::string> found;
    while (!userDirs.empty()) {
        const std::size_t end = userDirs.find('\n');
        std::string_view line = trimmedBlanks(userDirs.substr(0, end));
        userDirs.remove_prefix(end == std::string_view::npos ? userDirs.size() : end + 1);
        if (!line.starts_with(key) || line.substr(key.size()).find('=') != 0)
            continue;
        line.remove_prefix(key.size() + 1);
        if (line.size() < 2 || line.front() != '"' || line.back() != '"')
            continue;
        line = line.substr(1, line.size() - 2);
        std::string value;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size())
                ++i;
            value += line[i];
        }
        if (value == "$HOME" || value.starts_with("$HOME/"))
            found = home + value.substr(5);
        else if (value.starts_with('/'))
            found = value;
        else
            continue;
        // The last line of a key wins, as the shell that reads the file does.
    }
    return found;
}

std::string usersDesktopFolder(const std::optional<std::string>& configDir, const std::string& home)
{
    // The file is a few lines; anything past 64 KiB is not xdg-user-dirs'.
    constexpr std::uint64_t kMaxUserDirsBytes = std::uint64_t{64} * 1024;
    if (configDir)
        if (const auto text = readSmallFile(*configDir + "/user-dirs.dirs", kMaxUserDirsBytes))
            if (auto named = userDirIn(*text, "XDG_DESKTOP_DIR", home))
                return std::move(*named);
    return home + "/Desktop";
}

} // namespace gb

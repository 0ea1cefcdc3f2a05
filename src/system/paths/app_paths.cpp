#include "system/paths/app_paths.h"

#include <array>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {

std::optional<std::string> programFolder()
{
    std::array<char, 4096> buffer{}; // PATH_MAX
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return std::nullopt;
    const std::string path(buffer.data(), static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::nullopt;
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::optional<std::string> dataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
        return std::string(xdg);
    if (const char* home = std::getenv("HOME"); home != nullptr)
        return std::string(home) + "/.local/share";
    return std::nullopt;
}

std::optional<std::string> configHome()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg == '/')
        return std::string(xdg);
    if (const char* home = std::getenv("HOME"); home != nullptr)
        return std::string(home) + "/.config";
    return std::nullopt;
}

std::optional<std::string> defaultWinePrefix()
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0')
        return std::string(prefix);
    if (const char* home = std::getenv("HOME"); home != nullptr)
        return std::string(home) + "/.wine";
    return std::nullopt;
}

std::optional<std::string> defaultDataDir()
{
    return dataHome();
}

std::string appPath()
{
    std::string folder = programFolder().value_or(".");
    // An installed program's folder (/usr/bin) is no place for the user's
    // icons, even for root, who may write there.
    const bool installed = folder.starts_with("/usr/") || folder.starts_with("/opt/");
    if (!installed && ::access(folder.c_str(), W_OK) == 0)
        return folder;
    const std::string data = dataHome().value_or("/tmp");
    ::mkdir(data.c_str(), 0700);
    std::string own = data + "/glimmerbox";
    ::mkdir(own.c_str(), 0777);
    return own;
}

std::string userIconsFolder()
{
    // Without a home, the root stands for it, as Qt's home path does.
    return dataHome().value_or("/.local/share") + "/icons";
}

void ensureOutputFolders(const std::string& folder)
{
    for (const char* name : {kBitmapFolderName, kIconFolderName}) {
        const std::string path = folder + "/" + name;
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0)
            ::mkdir(path.c_str(), 0777);
    }
}

} // namespace gb

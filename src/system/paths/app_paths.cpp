#include "system/paths/app_paths.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {

std::string programFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    std::string path(buffer, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string appPath()
{
    std::string folder = programFolder();
    // An installed program's folder (/usr/bin) is no place for the user's
    // icons, even for root, who may write there.
    const bool installed = folder.starts_with("/usr/") || folder.starts_with("/opt/");
    if (!installed && ::access(folder.c_str(), W_OK) == 0)
        return folder;
    std::string data;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
        data = xdg;
    else if (const char* home = std::getenv("HOME"); home != nullptr)
        data = std::string(home) + "/.local/share";
    else
        data = "/tmp";
    ::mkdir(data.c_str(), 0700);
    std::string own = data + "/glimmerbox";
    ::mkdir(own.c_str(), 0777);
    return own;
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

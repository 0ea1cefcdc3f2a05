#include "core/icons/system_resources.h"

#include "core/paths/path_lookup.h"
#include "core/text/ascii.h"

namespace gb {

std::optional<std::string> systemResourcesFile(const std::string& path)
{
    const std::size_t nameStart = path.rfind('/');
    if (nameStart == std::string::npos || nameStart == 0)
        return std::nullopt;
    const std::string name = path.substr(nameStart + 1);
    const std::string folder = path.substr(0, nameStart);
    const std::size_t folderStart = folder.rfind('/');
    if (folderStart == std::string::npos || name.empty())
        return std::nullopt;
    const std::string folderName = folder.substr(folderStart + 1);
    if (!equalIgnoringAsciiCase(folderName, "System32") && !equalIgnoringAsciiCase(folderName, "SysWOW64"))
        return std::nullopt;
    const std::string windows = folderStart == 0 ? "/" : folder.substr(0, folderStart);
    return followIgnoringCase(windows, "SystemResources/" + name + ".mun");
}

} // namespace gb

#include "core/launcher/origin_launcher.h"

#include <utility>

namespace gb {

std::optional<LauncherRequest> launcherRequestOf(const IconOrigin& origin, std::string dataDir)
{
    if (!origin.members.empty())
        return std::nullopt;
    LauncherRequest request = launcherRequest(origin.path, std::move(dataDir));
    // A shortcut's row shows the icon the shortcut shows, which is the one
    // its launcher takes; a program's row, one of its icons.
    if (!origin.shown)
        request.iconPosition = origin.index;
    return request;
}

} // namespace gb

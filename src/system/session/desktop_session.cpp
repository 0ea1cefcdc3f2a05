#include "system/session/desktop_session.h"

#include "core/text/ascii.h"

#include <cstdlib>
#include <string_view>

namespace gb::session {

namespace {

bool isSet(const char* value)
{
    return value != nullptr && *value != '\0';
}

// The session manager writes the type in lower case; any case is taken.
bool saysWayland(std::string_view type)
{
    return equalIgnoringAsciiCase(type, "wayland");
}

} // namespace

DisplayServer displayServerOf(const char* xdgSessionType, const char* waylandDisplay)
{
    if (isSet(xdgSessionType) && saysWayland(xdgSessionType))
        return DisplayServer::Wayland;
    if (isSet(waylandDisplay))
        return DisplayServer::Wayland;
    return DisplayServer::X11;
}

DisplayServer currentDisplayServer()
{
    return displayServerOf(std::getenv("XDG_SESSION_TYPE"), std::getenv("WAYLAND_DISPLAY"));
}

} // namespace gb::session

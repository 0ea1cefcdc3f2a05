#pragma once
// The desktop's screenshot portal (the XDG desktop portal's Screenshot and
// Request interfaces) as plain data: where its answer comes, what to ask it
// for, and what its answer means. No Qt and no D-Bus here; the window layer
// carries these over the session bus.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gb::capture {

// The object path of a request the portal answers on, known before the
// call: /org/freedesktop/portal/desktop/request/SENDER/TOKEN, SENDER being
// the caller's unique bus name without its ':' and with '_' for '.'.
std::string portalRequestPath(std::string_view uniqueName, std::string_view token);

// Version 3 of the Screenshot interface names the targets the desktop can
// take in its AvailableTargets bitmask and lets the caller choose one with
// the "target" option. A window the user picks is asked for wherever the
// portal offers it; nothing (the portal's own choice) otherwise.
inline constexpr std::uint32_t kFirstPortalVersionWithTargets = 3;
inline constexpr std::uint32_t kWindowTarget = 2;
std::optional<std::uint32_t> screenshotTarget(std::uint32_t version, std::uint32_t availableTargets);

// The Request interface's Response codes: 0 success, 1 cancelled by the
// user, anything else an interaction that ended some other way.
enum class PortalOutcome {
    Taken,
    Cancelled,
    Failed,
};
PortalOutcome portalOutcome(std::uint32_t response);

// The local file a "file:" URI names, its percent escapes decoded to the
// path's own bytes (a path is bytes, not text). Nothing for another scheme,
// a host other than "localhost", a malformed escape, an escaped NUL or a
// path that is not absolute.
std::optional<std::string> localFileOfUri(std::string_view uri);

} // namespace gb::capture

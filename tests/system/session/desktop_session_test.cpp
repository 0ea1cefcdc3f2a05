// The kind of session, from XDG_SESSION_TYPE and WAYLAND_DISPLAY.
#include "system/session/desktop_session.h"

#include <gtest/gtest.h>

#include <string>

namespace gb::session {
namespace {

struct SessionCase {
    const char* name;           // the case's name in the test list
    const char* xdgSessionType; // null: unset
    const char* waylandDisplay;
    DisplayServer expected;
};

class DisplayServerOf : public ::testing::TestWithParam<SessionCase> {};

TEST_P(DisplayServerOf, TellsWaylandFromX11)
{
    const SessionCase& c = GetParam();
    EXPECT_EQ(displayServerOf(c.xdgSessionType, c.waylandDisplay), c.expected)
        << "XDG_SESSION_TYPE=" << (c.xdgSessionType ? c.xdgSessionType : "(unset)")
        << " WAYLAND_DISPLAY=" << (c.waylandDisplay ? c.waylandDisplay : "(unset)");
}

constexpr SessionCase kSessions[] = {
    // A plain X11 session, and ones with no session manager at all.
    {"X11Session", "x11", nullptr, DisplayServer::X11},
    {"NothingSet", nullptr, nullptr, DisplayServer::X11},
    {"Console", "tty", nullptr, DisplayServer::X11},
    {"BothEmpty", "", "", DisplayServer::X11},
    // Wayland by its type, in any case, with or without the display.
    {"WaylandSession", "wayland", nullptr, DisplayServer::Wayland},
    {"WaylandInCapitals", "Wayland", nullptr, DisplayServer::Wayland},
    {"WaylandWithDisplay", "wayland", "wayland-0", DisplayServer::Wayland},
    // The display alone tells too: a compositor started from a console, or
    // a program that Qt runs through XWayland while DISPLAY is set.
    {"DisplayAlone", nullptr, "wayland-0", DisplayServer::Wayland},
    {"DisplayFromConsole", "tty", "wayland-1", DisplayServer::Wayland},
    // A compositor nested in an X11 session runs its clients on Wayland.
    {"NestedCompositor", "x11", "wayland-1", DisplayServer::Wayland},
    // Near misses of the word are not Wayland.
    {"LongerWord", "waylandx", nullptr, DisplayServer::X11},
    {"ShorterWord", "wayl", nullptr, DisplayServer::X11},
};

INSTANTIATE_TEST_SUITE_P(Sessions, DisplayServerOf, ::testing::ValuesIn(kSessions),
                         [](const ::testing::TestParamInfo<SessionCase>& test) {
                             return std::string(test.param.name);
                         });

} // namespace
} // namespace gb::session

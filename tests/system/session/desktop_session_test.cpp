// The kind of session, from XDG_SESSION_TYPE and WAYLAND_DISPLAY.
#include "system/session/desktop_session.h"

#include <gtest/gtest.h>

namespace gb::session {
namespace {

struct SessionCase {
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

INSTANTIATE_TEST_SUITE_P(
    Sessions, DisplayServerOf,
    ::testing::Values(
        // A plain X11 session, and one with no session manager at all.
        SessionCase{"x11", nullptr, DisplayServer::X11}, SessionCase{nullptr, nullptr, DisplayServer::X11},
        SessionCase{"tty", nullptr, DisplayServer::X11}, SessionCase{"", "", DisplayServer::X11},
        // Wayland by its type, in any case, with or without the display.
        SessionCase{"wayland", nullptr, DisplayServer::Wayland},
        SessionCase{"Wayland", nullptr, DisplayServer::Wayland},
        SessionCase{"wayland", "wayland-0", DisplayServer::Wayland},
        // The display alone tells too: a compositor started from a console,
        // or a program that Qt runs through XWayland while DISPLAY is set.
        SessionCase{nullptr, "wayland-0", DisplayServer::Wayland},
        SessionCase{"tty", "wayland-1", DisplayServer::Wayland},
        // A compositor nested in an X11 session runs its clients on Wayland.
        SessionCase{"x11", "wayland-1", DisplayServer::Wayland},
        // Near misses of the word are not Wayland.
        SessionCase{"waylandx", nullptr, DisplayServer::X11}, SessionCase{"wayl", nullptr, DisplayServer::X11}));

} // namespace
} // namespace gb::session

#include "core/cursors/cursor_roles.h"

#include "core/text/ascii.h"

#include <algorithm>
#include <string>

namespace gb {

namespace {

using Names = std::string_view;

// File names real packs use, in the form of the Windows cursor scheme's own
// English names and the short forms of packs made on Linux.
constexpr Names kArrowFiles[] = {"Normal Select", "Normal", "arrow", "pointer", "default", "left_ptr"};
constexpr Names kHelpFiles[] = {"Help Select", "help", "question"};
constexpr Names kAppStartingFiles[] = {
    "Working in Background", "working", "appstarting", "progress", "background", "work", "left_ptr_watch"};
constexpr Names kWaitFiles[] = {"Busy", "wait", "watch", "hourglass"};
constexpr Names kCrosshairFiles[] = {"Precision Select", "precision", "cross", "crosshair"};
constexpr Names kIBeamFiles[] = {"Text Select", "text", "ibeam", "beam", "xterm"};
constexpr Names kNWPenFiles[] = {"Handwriting", "pen", "nwpen", "hand writing", "pencil"};
constexpr Names kNoFiles[] = {"Unavailable", "no", "unavailiable", "not-allowed", "forbidden"};
constexpr Names kSizeNSFiles[] = {"Vertical Resize", "size_ns", "sizens", "vert", "vertical", "ns-resize"};
constexpr Names kSizeWEFiles[] = {"Horizontal Resize", "size_we",  "sizewe", "horz",
                                  "horizontal",        "ew-resize"};
constexpr Names kSizeNWSEFiles[] = {"Diagonal Resize 1", "size_nwse",  "sizenwse", "dgn1",
                                    "diagonal1",         "nwse-resize"};
constexpr Names kSizeNESWFiles[] = {"Diagonal Resize 2", "size_nesw",  "sizenesw", "dgn2",
                                    "diagonal2",         "nesw-resize"};
constexpr Names kSizeAllFiles[] = {"Move", "size_all", "sizeall", "move", "fleur"};
constexpr Names kUpArrowFiles[] = {"Alternate Select", "alternate", "uparrow", "up_arrow", "up"};
constexpr Names kHandFiles[] = {"Link Select", "link", "hand", "hand2"};
constexpr Names kPinFiles[] = {"Location Select", "location", "pin"};
constexpr Names kPersonFiles[] = {"Person Select", "person"};

// The names desktops ask for: the cursor-shape names of Wayland's cursor
// shape protocol (the CSS cursor names), the X11 core cursor names, and the
// hash names older toolkits ask for. Every one of the 34 cursor-shape names
// is given to the nearest role.
constexpr Names kArrowNames[] = {"default",
                                 "left_ptr",
                                 "arrow",
                                 "top_left_arrow",
                                 "left_arrow",
                                 "context-menu",
                                 "alias",
                                 "copy",
                                 "dnd-none",
                                 "dnd-move",
                                 "dnd-link",
                                 "dnd-copy",
                                 "3085a0e285430894940527032f8b26df",
                                 "640fb0e74195791501fd1ed57b41487f",
                                 "1081e37283d90000800003c07f3ef6bf",
                                 "6407b0e94181790501fd1e167b474872",
                                 "b66166c04f8c3109214a4fbd64a50fc8"};
constexpr Names kHelpNames[] = {"help",
                                "question_arrow",
                                "whats_this",
                                "left_ptr_help",
                                "5c6cd98b3f3ebcb1f9c7f1c204630408",
                                "d9ce0ab605698f320427677b458ad60b"};
constexpr Names kAppStartingNames[] = {"progress",
                                       "left_ptr_watch",
                                       "half-busy",
                                       "3ecb610c1bf2410f44200f48c40d3599",
                                       "08e8e1c95fe2fc01f976f1e063a24ccd",
                                       "00000000000000020006000e7e9ffc3f"};
constexpr Names kWaitNames[] = {"wait", "watch", "clock"};
constexpr Names kCrosshairNames[] = {"crosshair", "cross", "tcross",  "cross_reverse", "diamond_cross",
                                     "cell",      "plus",  "zoom-in", "zoom-out"};
constexpr Names kIBeamNames[] = {"text", "xterm", "ibeam", "vertical-text"};
constexpr Names kNWPenNames[] = {"pencil", "draft"};
constexpr Names kNoNames[] = {"not-allowed", "no-drop", "crossed_circle",
                              "forbidden",   "circle",  "03b6e0fcb3499374a867c041f52298f0"};
constexpr Names kSizeNSNames[] = {"ns-resize",
                                  "n-resize",
                                  "s-resize",
                                  "row-resize",
                                  "size_ver",
                                  "sb_v_double_arrow",
                                  "v_double_arrow",
                                  "top_side",
                                  "bottom_side",
                                  "double_arrow",
                                  "split_v",
                                  "00008160000006810000408080010102",
                                  "2870a09082c103050810ffdffffe0204"};
constexpr Names kSizeWENames[] = {"ew-resize",
                                  "e-resize",
                                  "w-resize",
                                  "col-resize",
                                  "size_hor",
                                  "sb_h_double_arrow",
                                  "h_double_arrow",
                                  "left_side",
                                  "right_side",
                                  "split_h",
                                  "028006030e0e7ebffc7f7070c0600140",
                                  "14fef782d02440884392942c11205230"};
constexpr Names kSizeNWSENames[] = {
    "nwse-resize",     "nw-resize",       "se-resize",           "size_fdiag",
    "bd_double_arrow", "top_left_corner", "bottom_right_corner", "c7088f0f3e6c8088236ef8e1e3e70000"};
constexpr Names kSizeNESWNames[] = {
    "nesw-resize",     "ne-resize",        "sw-resize",          "size_bdiag",
    "fd_double_arrow", "top_right_corner", "bottom_left_corner", "fcf1c3c7cd4491d801f1e1c78f100000"};
constexpr Names kSizeAllNames[] = {"move",
                                   "all-scroll",
                                   "fleur",
                                   "size_all",
                                   "grabbing",
                                   "closedhand",
                                   "4498f0e0c1937ffe01fd06f973665830",
                                   "9081237383d90e509aa00f00170e968f",
                                   "fcf21c00b30f7e3f83fe0dfd12e71cff"};
constexpr Names kUpArrowNames[] = {"up-arrow", "up_arrow", "center_ptr", "sb_up_arrow"};
constexpr Names kHandNames[] = {"pointer",
                                "hand",
                                "hand1",
                                "hand2",
                                "pointing_hand",
                                "grab",
                                "openhand",
                                "9d800788f1b08800ae810202380a0822",
                                "e29285e634086352946a0e7090d73106",
                                "5aca4d189052212118709018842178c0"};

constexpr CursorRoleNames kRoles[] = {
    {CursorRole::Arrow, "Arrow", 32512, kArrowFiles, kArrowNames, std::nullopt},
    {CursorRole::Help, "Help", 32651, kHelpFiles, kHelpNames, CursorRole::Arrow},
    {CursorRole::AppStarting, "AppStarting", 32650, kAppStartingFiles, kAppStartingNames, CursorRole::Wait},
    {CursorRole::Wait, "Wait", 32514, kWaitFiles, kWaitNames, CursorRole::AppStarting},
    {CursorRole::Crosshair, "Crosshair", 32515, kCrosshairFiles, kCrosshairNames, std::nullopt},
    {CursorRole::IBeam, "IBeam", 32513, kIBeamFiles, kIBeamNames, std::nullopt},
    {CursorRole::NWPen, "NWPen", 32631, kNWPenFiles, kNWPenNames, std::nullopt},
    {CursorRole::No, "No", 32648, kNoFiles, kNoNames, std::nullopt},
    {CursorRole::SizeNS, "SizeNS", 32645, kSizeNSFiles, kSizeNSNames, std::nullopt},
    {CursorRole::SizeWE, "SizeWE", 32644, kSizeWEFiles, kSizeWENames, std::nullopt},
    {CursorRole::SizeNWSE, "SizeNWSE", 32642, kSizeNWSEFiles, kSizeNWSENames, std::nullopt},
    {CursorRole::SizeNESW, "SizeNESW", 32643, kSizeNESWFiles, kSizeNESWNames, std::nullopt},
    {CursorRole::SizeAll, "SizeAll", 32646, kSizeAllFiles, kSizeAllNames, std::nullopt},
    {CursorRole::UpArrow, "UpArrow", 32516, kUpArrowFiles, kUpArrowNames, CursorRole::Arrow},
    {CursorRole::Hand, "Hand", 32649, kHandFiles, kHandNames, std::nullopt},
    {CursorRole::Pin, "Pin", 32671, kPinFiles, {}, std::nullopt},
    {CursorRole::Person, "Person", 32672, kPersonFiles, {}, std::nullopt},
};
static_assert(std::size(kRoles) == kCursorRoleCount);

// A file name as packs vary it: lower case, without spaces, "-" and "_".
std::string folded(std::string_view name)
{
    std::string result;
    for (const char c : name)
        if (c != ' ' && c != '-' && c != '_')
            result += asciiLower(c);
    return result;
}

} // namespace

std::span<const CursorRoleNames> cursorRoles()
{
    return kRoles;
}

const CursorRoleNames& namesOf(CursorRole role)
{
    return kRoles[static_cast<std::size_t>(role)];
}

std::optional<CursorRole> roleOfRegistryName(std::string_view name)
{
    for (const CursorRoleNames& role : kRoles)
        if (equalIgnoringAsciiCase(role.registryName, name))
            return role.role;
    return std::nullopt;
}

std::optional<CursorRole> roleOfFileName(std::string_view stem)
{
    const std::string wanted = folded(stem);
    if (wanted.empty())
        return std::nullopt;
    for (const CursorRoleNames& role : kRoles)
        if (std::ranges::any_of(role.fileNames, [&](Names name) { return folded(name) == wanted; }))
            return role.role;
    return std::nullopt;
}

std::optional<CursorRole> roleOfResourceId(std::uint16_t id)
{
    for (const CursorRoleNames& role : kRoles)
        if (role.resourceId == id)
            return role.role;
    return std::nullopt;
}

} // namespace gb

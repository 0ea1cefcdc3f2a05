#include "core/cursors/cursor_roles.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace gb {
namespace {

// Wayland's cursor shape protocol asks for these 34 names: each is given
// to exactly one role, and no name is given twice.
TEST(CursorRoles, EveryCursorShapeNameHasOneRoleAndNoNameTwo)
{
    const std::string_view shapes[] = {
        "default",     "context-menu", "help",          "pointer",    "progress",  "wait",      "cell",
        "crosshair",   "text",         "vertical-text", "alias",      "copy",      "move",      "no-drop",
        "not-allowed", "grab",         "grabbing",      "e-resize",   "n-resize",  "ne-resize", "nw-resize",
        "s-resize",    "se-resize",    "sw-resize",     "w-resize",   "ew-resize", "ns-resize", "nesw-resize",
        "nwse-resize", "col-resize",   "row-resize",    "all-scroll", "zoom-in",   "zoom-out"};
    static_assert(std::size(shapes) == 34);
    std::map<std::string_view, int> roles;
    for (const CursorRoleNames& role : cursorRoles())
        for (const std::string_view name : role.themeNames)
            ++roles[name];
    for (const auto& [name, count] : roles)
        EXPECT_EQ(count, 1) << name;
    for (const std::string_view shape : shapes)
        EXPECT_TRUE(roles.contains(shape)) << shape;
    EXPECT_TRUE(namesOf(CursorRole::Pin).themeNames.empty());
    EXPECT_TRUE(namesOf(CursorRole::Person).themeNames.empty());
}

TEST(CursorRoles, PackFileNamesRegistryNamesAndIdsFindTheirRole)
{
    const std::pair<std::string_view, std::optional<CursorRole>> files[] = {
        {"Normal Select", CursorRole::Arrow},
        {"normal_select", CursorRole::Arrow},
        {"Working In Background", CursorRole::AppStarting},
        {"busy", CursorRole::Wait},
        {"Diagonal Resize 2", CursorRole::SizeNESW},
        {"size-ns", CursorRole::SizeNS},
        {"IBEAM", CursorRole::IBeam},
        {"Location Select", CursorRole::Pin},
        {"readme", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [stem, role] : files)
        EXPECT_EQ(roleOfFileName(stem), role) << stem;
    EXPECT_EQ(roleOfRegistryName("ibeam"), CursorRole::IBeam);
    EXPECT_EQ(roleOfRegistryName("SizeNWSE"), CursorRole::SizeNWSE);
    EXPECT_EQ(roleOfRegistryName("Scheme Source"), std::nullopt);
    EXPECT_EQ(roleOfResourceId(32512), CursorRole::Arrow);
    EXPECT_EQ(roleOfResourceId(32649), CursorRole::Hand);
    EXPECT_EQ(roleOfResourceId(32672), CursorRole::Person);
    EXPECT_EQ(roleOfResourceId(1), std::nullopt);
    for (std::size_t i = 0; i < kCursorRoleCount; ++i)
        EXPECT_EQ(static_cast<std::size_t>(cursorRoles()[i].role), i);
}

} // namespace
} // namespace gb

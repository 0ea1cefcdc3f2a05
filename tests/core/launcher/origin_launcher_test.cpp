#include "core/launcher/origin_launcher.h"

#include <gtest/gtest.h>

#include <ostream>

namespace gb {
namespace {

struct RowCase {
    const char* name;
    IconOrigin origin;
    std::optional<std::string> path; // the launcher's PATH; none: no launcher
    std::optional<int> iconPosition; // the program's icon asked for
};

void PrintTo(const RowCase& c, std::ostream* os)
{
    *os << c.name;
}

IconOrigin shortcutRow()
{
    IconOrigin origin{"/p/drive_c/users/Public/Desktop/Ship.lnk", 0};
    origin.showIcon(ShownIcon{"/p/drive_c/Program Files/Ship/ship.exe", 4});
    return origin;
}

class LauncherOfARow : public ::testing::TestWithParam<RowCase> {};

// "创建启动器" makes the launcher of the icon whose details are open.
TEST_P(LauncherOfARow, IsTheLauncherOfTheIconShown)
{
    const RowCase& c = GetParam();
    const auto request = launcherRequestOf(c.origin, "/data");
    ASSERT_EQ(request.has_value(), c.path.has_value());
    if (!request)
        return;
    EXPECT_EQ(request->path, *c.path);
    EXPECT_EQ(request->iconPosition, c.iconPosition);
    EXPECT_EQ(request->dataDir, "/data");
    EXPECT_FALSE(request->name);
    EXPECT_FALSE(request->prefix);
}

INSTANTIATE_TEST_SUITE_P(
    OriginLauncher, LauncherOfARow,
    ::testing::Values(
        RowCase{"ProgramsFirstIcon", IconOrigin{"/w/app.exe", 0}, "/w/app.exe", 0},
        RowCase{"ProgramsLaterIcon", IconOrigin{"/w/app.exe", 3}, "/w/app.exe", 3},
        // The shortcut's own rules pick the icon: the one it shows.
        RowCase{"ShortcutItself", shortcutRow(), "/p/drive_c/users/Public/Desktop/Ship.lnk", std::nullopt},
        RowCase{"InsideAnArchive", IconOrigin{"/cd.iso", 1, {"SETUP/APP.EXE"}}, std::nullopt, std::nullopt}),
    [](const auto& instance) { return std::string(instance.param.name); });

} // namespace
} // namespace gb

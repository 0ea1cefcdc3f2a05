#include "core/wine/wine_prefix.h"

#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

TEST(WinePrefix, WindowsPathsMapIntoThePrefixAsWineFindsThem)
{
    test::TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const std::string c = prefix + "/dosdevices/c:";
    const std::string fixture = c + "/Program Files/Fixture";
    EXPECT_EQ(findWinePrefix(fixture + "/App.exe"), prefix);
    EXPECT_EQ(userOf(prefix), "ana");

    const WinePaths inPrefix{prefix, fixture, "ana"};
    const WinePaths without{std::nullopt, fixture, "ana"};
    struct Case {
        const char* path;
        const WinePaths& paths;
        std::expected<std::string, WinePathProblem> expected;
    };
    const auto fails = [](WinePathProblem p) { return std::unexpected(p); };
    const Case cases[] = {
        {"C:\\PROGRAM FILES\\fixture\\APP.EXE", inPrefix, fixture + "/App.exe"},
        {"c:/Program Files/./Fixture\\App.exe", inPrefix, fixture + "/App.exe"},
        {"%ProgramFiles%\\Fixture\\App.exe", inPrefix, fixture + "/App.exe"},
        {"%programfiles(x86)%\\Fixture", inPrefix, fixture}, // a 32-bit prefix: one program folder
        {"%APPDATA%\\game", inPrefix, c + "/users/ana/AppData/Roaming/Game"},
        {"%SystemRoot%\\System32", inPrefix, c + "/windows/system32"},
        {"%SystemDrive%\\Windows\\..\\ProgramData", inPrefix, c + "/ProgramData"},
        {"\\\\?\\C:\\windows", inPrefix, c + "/windows"},
        {"\\users\\PUBLIC", inPrefix, c + "/users/Public"},
        {"app.exe", without, fixture + "/App.exe"},
        {"..\\Fixture\\App.exe", without, fixture + "/App.exe"},
        {"C:\\..\\..\\etc\\passwd", inPrefix, fails(WinePathProblem::LeavesDrive)},
        {"D:\\setup.exe", inPrefix, fails(WinePathProblem::NoDrive)},
        {"\\\\server\\share\\a.exe", inPrefix, fails(WinePathProblem::Unsupported)},
        {"%HOMESHARE%\\a.exe", inPrefix, fails(WinePathProblem::UnknownVariable)},
        {"C:\\Program Files\\Fixture\\Gone.exe", inPrefix, fails(WinePathProblem::Missing)},
        {"C:\\Program Files\\Fixture\\App.exe", without, fails(WinePathProblem::NoPrefix)},
        {"", inPrefix, fails(WinePathProblem::Empty)},
    };
    for (const Case& each : cases) {
        const auto mapped = mapWindowsPath(each.path, each.paths);
        if (each.expected)
            EXPECT_EQ(mapped.value_or("(" + (mapped ? "" : describe(mapped.error())) + ")"), *each.expected)
                << each.path;
        else
            EXPECT_EQ(mapped ? std::optional<WinePathProblem>() : mapped.error().problem,
                      each.expected.error())
                << each.path;
    }
}

} // namespace
} // namespace gb

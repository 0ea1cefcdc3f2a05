#include "core/wine/windows_path.h"

#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace gb {
namespace {

namespace fs = std::filesystem;

// The path Wine names a file by: the deepest drive holding it (C: before
// Z:, which is the whole system), and none where Windows could not write it.
TEST(WindowsPath, AFileIsNamedByTheDeepestDriveHoldingIt)
{
    test::TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "my \"prefix\"");
    fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
    fs::create_directories(folder.path() / "games" / "bad?name");
    fs::create_directory_symlink(folder.path() / "games", prefix + "/dosdevices/d:");
    std::ofstream(folder.file("games/bad?name/x.exe")) << "x";
    std::ofstream(folder.file("games/ship.exe")) << "x";
    std::ofstream(folder.file("loose.exe")) << "x";
    std::string onZ = "Z:" + fs::canonical(folder.path()).string() + "/loose.exe";
    std::ranges::replace(onZ, '/', '\\');

    struct Case {
        std::string file;
        std::optional<std::string> windows;
    };
    const Case cases[] = {
        {prefix + "/drive_c/Program Files/Fixture/App.exe", "C:\\Program Files\\Fixture\\App.exe"},
        {prefix + "/dosdevices/c:/Program Files/Fixture/App.exe", "C:\\Program Files\\Fixture\\App.exe"},
        {folder.file("games/ship.exe"), "D:\\ship.exe"},
        // A name Windows cannot hold on D: is none on Z: either.
        {folder.file("games/bad?name/x.exe"), std::nullopt},
        {folder.file("loose.exe"), onZ},
    };
    for (const Case& c : cases)
        EXPECT_EQ(windowsPathOf(c.file, prefix), c.windows) << c.file;

    fs::remove(prefix + "/dosdevices/z:");
    EXPECT_EQ(windowsPathOf(folder.file("loose.exe"), prefix), std::nullopt);
}

} // namespace
} // namespace gb

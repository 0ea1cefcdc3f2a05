#include "core/paths/path_lookup.h"

#include "support/open_watch.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace gb {
namespace {

namespace fs = std::filesystem;

std::string real(const fs::path& path)
{
    return realPathOf(path.string()).value_or("(missing)");
}

TEST(PathLookup, NamesDifferingOnlyByCaseAreFoundAsStored)
{
    test::TempFolder folder;
    fs::create_directories(folder.path() / "Program Files" / "Game");
    std::ofstream(folder.path() / "Program Files" / "Game" / "Ship.exe") << "MZ";
    fs::create_directory_symlink("Program Files", folder.path() / "progra~1");
    const std::string base = folder.path().string();
    const struct {
        const char* relative;
        std::expected<std::string, LookupProblem> expected;
    } cases[] = {
        {"program files\\GAME\\ship.EXE", base + "/Program Files/Game/Ship.exe"},
        {"./Program Files//Game/", base + "/Program Files/Game"},
        {"PROGRA~1\\game\\Ship.exe", base + "/progra~1/Game/Ship.exe"},
        {"", base},
        {"Program Files\\Gone.exe", std::unexpected(LookupProblem::Missing)},
        {"Program Files\\..\\Program Files", std::unexpected(LookupProblem::Missing)},
        {"Program Files\\Game\\Ship.exe\\inside", std::unexpected(LookupProblem::Missing)},
    };
    for (const auto& each : cases)
        EXPECT_EQ(lookUpIgnoringCase(base, each.relative), each.expected) << each.relative;
    EXPECT_EQ(followIgnoringCase(base, "program files"), base + "/Program Files");
}

// Nothing on the way is opened to find out what it is, and only folders,
// regular files and links to them are passed.
TEST(PathLookup, DeviceOrFifoOnTheWayIsRefusedWithoutBeingOpened)
{
    test::TempFolder folder;
    const std::string fifo = folder.file("Pipe.ico");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, folder.path() / "toPipe.ico");
    fs::create_symlink("/dev/null", folder.path() / "null.ico");
    fs::create_directory_symlink("/dev", folder.path() / "devices");
    test::OpenWatch watch(fifo);
    ASSERT_TRUE(watch.watching());
    for (const char* relative : {"pipe.ico", "PIPE.ICO", "toPipe.ico", "null.ico", "devices\\null"})
        EXPECT_EQ(lookUpIgnoringCase(folder.path().string(), relative),
                  std::unexpected(LookupProblem::NotFileOrFolder))
            << relative;
    EXPECT_EQ(lookUpIgnoringCase("/dev/null", ""), std::unexpected(LookupProblem::NotFileOrFolder));
    EXPECT_EQ(watch.opens(), 0);
}

TEST(PathLookup, FenceKeepsTheLookupInItsTreeButForItsDriveLinks)
{
    test::TempFolder folder;
    const fs::path prefix = folder.path() / "prefix";
    fs::create_directories(prefix / "drive_c" / "Game");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(folder.path() / "outside");
    std::ofstream(folder.path() / "outside" / "Secret.ico") << "icon";
    std::ofstream(prefix / "drive_c" / "Game" / "Own.ico") << "icon";
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink(folder.path() / "outside", prefix / "dosdevices" / "d:");
    fs::create_directory_symlink("../../outside", prefix / "drive_c" / "Out");
    fs::create_directory_symlink("Game", prefix / "drive_c" / "Games");
    fs::create_directory_symlink("../dosdevices/d:", prefix / "drive_c" / "ToDrive");
    const LookupFence fence{real(prefix), real(prefix) + "/dosdevices"};
    const std::string c = (prefix / "drive_c").string();
    const struct {
        std::string base;
        const char* relative;
        std::expected<std::string, LookupProblem> expected;
    } cases[] = {
        {c, "game\\own.ico", c + "/Game/Own.ico"},
        {c, "GAMES\\own.ico", c + "/Games/Own.ico"}, // a link that stays inside
        {c, "out\\secret.ico", std::unexpected(LookupProblem::LeavesFence)},
        {c, "ToDrive\\secret.ico", std::unexpected(LookupProblem::LeavesFence)}, // not itself a drive
        {(prefix / "dosdevices").string(), "D:\\secret.ico", (prefix / "dosdevices/d:/Secret.ico").string()},
        {(prefix / "dosdevices/d:").string(), "secret.ico", std::unexpected(LookupProblem::LeavesFence)},
        {folder.path().string(), "outside", std::unexpected(LookupProblem::LeavesFence)},
    };
    for (const auto& each : cases)
        EXPECT_EQ(lookUpIgnoringCase(each.base, each.relative, fence), each.expected) << each.relative;
    // Without a fence the links lead where they point.
    EXPECT_EQ(lookUpIgnoringCase(c, "out\\secret.ico"), c + "/Out/Secret.ico");
}

TEST(PathLookup, ListingsAreCountedOnlyWhenAnExactNameIsMissing)
{
    test::TempFolder folder;
    fs::create_directories(folder.path() / "Game");
    const std::uint64_t before = folderListingsOnThisThread();
    ASSERT_TRUE(lookUpIgnoringCase(folder.path().string(), "Game"));
    EXPECT_EQ(folderListingsOnThisThread(), before);
    ASSERT_TRUE(lookUpIgnoringCase(folder.path().string(), "GAME"));
    EXPECT_EQ(folderListingsOnThisThread(), before + 1);
}

} // namespace
} // namespace gb

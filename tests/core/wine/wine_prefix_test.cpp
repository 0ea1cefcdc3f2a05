#include "core/wine/wine_prefix.h"

#include "core/paths/path_lookup.h"
#include "support/open_watch.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

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

    const WinePaths inPrefix{prefix, fixture, {"ana"}};
    const WinePaths without{std::nullopt, fixture, {"ana"}};
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

std::optional<WinePathProblem> problemOf(const std::expected<std::string, WinePathFailure>& mapped)
{
    return mapped ? std::nullopt : std::optional<WinePathProblem>(mapped.error().problem);
}

std::string repeated(std::string_view text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

// A prefix whose drive_c holds many files: every listing of it is dear.
std::string crowdedPrefix(const test::TempFolder& folder, int files)
{
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    for (int i = 0; i < files; ++i)
        std::ofstream(prefix + "/drive_c/file" + std::to_string(i) + ".txt");
    return prefix;
}

// The prefix's user and program folders are read once, when its paths are
// set up, not once per variable: a path of thousands of "%x%" costs no
// listing of a crowded drive_c at all.
TEST(WinePrefix, ThousandsOfVariablesCostNoFolderListings)
{
    test::TempFolder folder;
    const std::string prefix = crowdedPrefix(folder, 2000);
    const std::uint64_t beforeSetUp = folderListingsOnThisThread();
    const WinePaths paths = winePaths(prefix, prefix + "/drive_c");
    EXPECT_LE(folderListingsOnThisThread() - beforeSetUp, 2u); // drive_c/users, drive_c
    EXPECT_EQ(paths.facts.user, "ana");
    EXPECT_FALSE(paths.facts.wow64);

    const std::uint64_t before = folderListingsOnThisThread();
    const std::string manyUnknown = "C:\\" + repeated("%x%", 10000) + ".ico"; // under the length limit
    EXPECT_EQ(problemOf(mapWindowsPath(manyUnknown, paths)), WinePathProblem::UnknownVariable);
    const std::string manyKnown = repeated("%windir%", 4000); // 32,000 characters
    EXPECT_EQ(problemOf(mapWindowsPath(manyKnown, paths)), WinePathProblem::TooLong);
    EXPECT_LE(folderListingsOnThisThread() - before, 2u);
}

TEST(WinePrefix, PathLongerThanWindowsTakesIsRefusedGivenOrExpanded)
{
    test::TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const WinePaths paths = winePaths(prefix, prefix);
    const struct {
        std::string path;
        std::optional<WinePathProblem> problem;
    } cases[] = {
        {repeated("%x%", 21845), WinePathProblem::TooLong},          // as given
        {repeated("%APPDATA%", 2000), WinePathProblem::TooLong},     // 18,000 growing to 56,000
        {"C:\\" + repeated("a\\", 16000), WinePathProblem::Missing}, // long, and within the limit
        {"%ProgramFiles%\\" + repeated(".\\", 16000), std::nullopt}, // 32,015 expanding to 32,017
    };
    for (const auto& each : cases) {
        const auto mapped = mapWindowsPath(each.path, paths);
        EXPECT_EQ(problemOf(mapped), each.problem) << each.path.substr(0, 40);
        if (!mapped && mapped.error().problem == WinePathProblem::TooLong) {
            EXPECT_LT(describe(mapped.error()).size(), 200u); // the path is cut for the message
        }
    }
    EXPECT_EQ(expandWineVariables(repeated("%APPDATA%", 2000), paths).error().problem,
              WinePathProblem::TooLong);
}

// The steps of the climb from the folder to the root.
std::string climbFrom(const std::string& folder)
{
    std::string climb;
    for (const char c : std::filesystem::path(folder).lexically_normal().string())
        if (c == '/')
            climb += "..\\";
    return climb;
}

// A shortcut's path may name a device or a FIFO; a confined lookup (the
// thumbnailer's) keeps to the prefix's tree, an unconfined one (the
// launcher's) follows the climb, and neither ever opens anything on the way.
TEST(WinePrefix, ShortcutPathToADeviceIsRefusedWithoutOpeningIt)
{
    test::TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const std::string fifo = prefix + "/drive_c/Pipe.ico";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", prefix + "/drive_c/Null.ico");
    std::filesystem::create_symlink("Pipe.ico", prefix + "/drive_c/PipeLink.ico");
    std::filesystem::create_directory_symlink("/", prefix + "/dosdevices/z:");
    test::OpenWatch watch(fifo);
    ASSERT_TRUE(watch.watching());
    const std::string base = prefix + "/drive_c/users/Public";
    const WinePaths confined = winePaths(prefix, base, true);
    const WinePaths free = winePaths(prefix, base, false);
    const std::string toNull = climbFrom(base) + "dev\\null";
    const struct {
        std::string path;
        const WinePaths& paths;
        std::optional<WinePathProblem> problem;
    } cases[] = {
        {"C:\\pipe.ico", confined, WinePathProblem::NotAFile},
        {"C:\\pipe.ico", free, WinePathProblem::NotAFile},
        {"C:\\null.ico", confined, WinePathProblem::LeavesFolder}, // refused before it is resolved
        {"C:\\null.ico", free, WinePathProblem::NotAFile},
        {"C:\\PipeLink.ico", confined, WinePathProblem::NotAFile},
        {"..\\..\\pipe.ico", confined, WinePathProblem::NotAFile},
        {toNull, confined, WinePathProblem::LeavesFolder},
        {toNull, free, WinePathProblem::NotAFile},
        {"Z:\\dev\\null", confined, WinePathProblem::NotAFile}, // a drive of the prefix, to a device
        {"Z:\\dev", confined, std::nullopt},                    // z: leads anywhere
        {climbFrom(base) + "dev", confined, WinePathProblem::LeavesFolder},
        {"..\\..\\..\\dosdevices\\z:\\dev", confined, std::nullopt}, // through the prefix's drive
        {"..\\..\\..\\..\\prefix\\drive_c", confined, WinePathProblem::LeavesFolder},
        {"..\\..\\program files\\FIXTURE\\app.exe", confined, std::nullopt},
    };
    for (const auto& each : cases)
        EXPECT_EQ(problemOf(mapWindowsPath(each.path, each.paths)), each.problem) << each.path;
    EXPECT_EQ(watch.opens(), 0);
}

} // namespace
} // namespace gb

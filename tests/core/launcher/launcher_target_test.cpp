#include "core/launcher/launcher.h"

#include "support/shell_link_builder.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

// A launcher runs a Windows program, known by its content.

namespace gb {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

LauncherError refusalOf(const std::string& path, const std::string& data)
{
    const auto made = planLauncher(launcherRequest(path, data));
    return made ? LauncherError{} : made.error();
}

TEST(Launcher, ShortcutToAUnixProgramIsRefused)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
    test::ShortcutRecipe recipe;
    recipe.localBasePath = "Z:\\bin\\sh";
    recipe.arguments = "-c \"echo hi\"";
    recipe.iconLocation = "C:\\Program Files\\Fixture\\App.exe";
    const std::string lnk = folder.write("prefix/drive_c/sh.lnk", test::buildShortcut(recipe));
    const LauncherError error = refusalOf(lnk, folder.file("data"));
    EXPECT_EQ(error.problem, LauncherProblem::LinuxProgram) << describe(error);
    EXPECT_FALSE(fs::exists(folder.file("data")));
}

TEST(Launcher, TextFileNamedExeIsRefused)
{
    TempFolder folder;
    const auto bytes = [](std::string_view text) {
        const auto view = std::as_bytes(std::span(text));
        return std::vector<std::byte>(view.begin(), view.end());
    };
    // MZ leading nowhere, or to a header of another kind (a VxD's), is no
    // program either.
    std::vector<std::byte> otherHeader(0x80);
    otherHeader[0] = std::byte{'M'};
    otherHeader[1] = std::byte{'Z'};
    otherHeader[0x3c] = std::byte{0x40};
    otherHeader[0x40] = std::byte{'L'};
    otherHeader[0x41] = std::byte{'E'};
    const std::pair<std::string, std::vector<std::byte>> files[] = {
        {"text.exe", bytes("echo hello\n")}, {"mz.exe", bytes("MZ")}, {"le.exe", otherHeader}};
    for (const auto& [name, content] : files) {
        const LauncherError error = refusalOf(folder.write(name, content), folder.file("data"));
        EXPECT_EQ(error.problem, LauncherProblem::NotAProgram) << name << ": " << describe(error);
        EXPECT_NE(describe(error).find("not a Windows program"), std::string::npos);
    }
}

TEST(Launcher, RealPeAndNeProgramsAreAccepted)
{
    TempFolder folder;
    for (const char* name : {"icons32.exe", "icons64.dll", "icons16.exe"}) {
        const auto made =
            planLauncher(launcherRequest(std::string(GB_FIXTURE_DIR) + "/" + name, folder.file("data")));
        EXPECT_TRUE(made) << name << ": " << describe(made.error());
    }
}

} // namespace
} // namespace gb

#include "core/cursortheme/theme_writer.h"

#include "support/cli_run.h"
#include "support/cursor_pack_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gb {
namespace {

namespace fs = std::filesystem;
using test::runCli;
using test::TempFolder;

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

TEST(CliCursorTheme, ProgramsStandardCursorsMakeATheme)
{
    const TempFolder out;
    const auto run = runCli(
        {"cursor-theme", fixture("cursors32.exe"), "--name", "Programs", "--out", out.path().string()});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string folder = out.file("Programs");
    EXPECT_NE(run.out.find("wrote " + folder + "/index.theme\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("wrote " + folder + "/cursors/default and 16 links\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Arrow: filled from " + fixture("cursors32.exe") + " resource 32512\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Hand: filled from " + fixture("cursors32.exe") + " resource 32649\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Help: fallback Arrow\n"), std::string::npos);
    EXPECT_NE(run.out.find("Crosshair: left to the inherited theme\n"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(folder + "/cursors/pointer"));
}

TEST(CliCursorTheme, PackGuessedFileUnplacedAndPinKeptInTheReport)
{
    const TempFolder pack, out;
    test::fillPack(pack, {{"Normal Select.cur", "cursors/arrow.cur"},
                          {"Location Select.cur", "cursors/hand.cur"},
                          {"sparkle.ani", "cursors/plain.ani"}});
    const auto run = runCli({"cursor-theme", pack.path().string(), "--name=Pack", "--out",
                             out.path().string(), "--sizes", "24,32"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Arrow: guessed from " + pack.file("Normal Select.cur") + "\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("Pin: guessed from " + pack.file("Location Select.cur") +
                           " (no Linux name: not written)\n"),
              std::string::npos);
    EXPECT_NE(run.err.find("not placed: " + pack.file("sparkle.ani")), std::string::npos) << run.err;
}

TEST(CliCursorTheme, RoleThatCannotBeReadExitsWithOne)
{
    const TempFolder pack, out;
    test::fillPack(pack, {{"Normal Select.cur", "cursors/arrow.cur"}});
    pack.write("Busy.ani", test::textBytes(std::string_view("RIFF\x04\0\0\0ACON", 12)));
    const auto run =
        runCli({"cursor-theme", pack.path().string(), "--name", "Half", "--out", out.path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Wait: not read: " + pack.file("Busy.ani") + ": "), std::string::npos) << run.out;
    EXPECT_TRUE(fs::exists(out.file("Half/cursors/default")));
}

TEST(CliCursorTheme, ThemeTheUserMadeIsRefusedWithOne)
{
    const TempFolder out;
    fs::create_directory(out.path() / "Mine");
    const auto run =
        runCli({"cursor-theme", fixture("cursors32.exe"), "--name", "Mine", "--out", out.path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("not made by glimmerbox-cli cursor-theme"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(out.path() / "Mine"));
}

TEST(CliCursorTheme, BadUsageExitsWithTwo)
{
    const std::vector<std::vector<std::string>> lines = {
        {"cursor-theme", fixture("cursors32.exe")},
        {"cursor-theme", "--name", "X"},
        {"cursor-theme", fixture("cursors32.exe"), "--name", "a/b"},
        {"cursor-theme", fixture("cursors32.exe"), "--name", ".."},
        {"cursor-theme", fixture("cursors32.exe"), "--name", "X", "--sizes", "0"},
        {"cursor-theme", fixture("cursors32.exe"), "--name", "X", "--format", "png"},
    };
    for (const auto& line : lines)
        EXPECT_EQ(runCli(line).status, 2) << line.back();
}

TEST(CliCursorTheme, NothingToWriteExitsWithOne)
{
    const TempFolder out;
    const auto run =
        runCli({"cursor-theme", fixture("icons32.exe"), "--name", "None", "--out", out.path().string()});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(fs::exists(out.file("None")));
}

} // namespace
} // namespace gb

#include "support/cli_run.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace gb {
namespace {

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

// What `list` prints for a file, with its key's path replaced by `shown`.
std::string listedAs(const std::string& file, const std::string& shown)
{
    std::string lines = test::runCli({"list", fixture(file)}).out, renamed;
    for (std::size_t at = 0; at < lines.size();) {
        const std::size_t end = lines.find('\n', at);
        const std::string line = lines.substr(at, end - at);
        renamed += shown + line.substr(line.find('(')) + '\n';
        at = end + 1;
    }
    return renamed;
}

// The icons inside a container are those of the same files outside, keyed
// CONTAINER//MEMBER; what cannot be read is said, and the rest still listed.
TEST(CliArchives, MembersListLikeTheFilesOutsideAndFailuresSayWhy)
{
    const std::string zip = fixture("containers/setup.zip"), iso = fixture("containers/cd.iso"),
                      msi = fixture("setup.msi");
    struct Case {
        std::vector<std::string> args;
        std::string out;
        std::string errHas; // a line of standard error
        int status;
    };
    const Case cases[] = {
        {{"list", "--archives", "--pattern", "*.exe;*.ico", zip},
         listedAs("icons32.exe", zip + "//SETUP/APP.EXE") +
             listedAs("mixed_depths.ico", zip + "//icons/mixed.ico"),
         "icons in 2 files",
         0},
        {{"list", "--archives", "--pattern", "*.*", iso},
         listedAs("icons64.dll", iso + "//CD/EXTRAS.ZIP//inner/LIB64.DLL") +
             listedAs("spinner.ani", iso + "//CD/EXTRAS.ZIP//inner/SPIN.ANI") +
             listedAs("icons32.exe", iso + "//SETUP/APP.EXE"),
         "",
         0},
        {{"list", "--archives", msi},
         listedAs("icons32.exe", msi + "//app.cab//APP.EXE") +
             listedAs("icons64.dll", msi + "//Binary.Helper") +
             listedAs("mixed_depths.ico", msi + "//Icon.AppIcon.ico"),
         "",
         0},
        // Without the option a container is a file without icons, as before.
        {{"list", "--pattern", "*.*", zip}, "", "0 icons in 1 files", 0},
        {{"list", "--archives", fixture("containers/bomb.7z")}, "", "decompresses to more than", 1},
        {{"list", "--archives", "--pattern", "*.exe", fixture("containers/encrypted.zip")},
         listedAs("icons32.exe", fixture("containers/encrypted.zip") + "//SETUP/APP.EXE"),
         fixture("containers/encrypted.zip") + "//SECRET.EXE: encrypted",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const test::CliRun run = test::runCli(c.args);
        EXPECT_EQ(run.out, c.out);
        EXPECT_NE(run.err.find(c.errHas), std::string::npos) << run.err;
        EXPECT_EQ(run.status, c.status);
    }
}

// A folder's containers are found by their names whatever the pattern, and
// exported members are numbered in list order like files.
TEST(CliArchives, ExportOfAFolderWritesTheMembersIconsInOrder)
{
    test::TempFolder in, out;
    std::filesystem::copy_file(fixture("containers/setup.zip"), in.file("setup.zip"));
    std::filesystem::copy_file(fixture("icons16.exe"), in.file("first.exe"));
    const test::CliRun run = test::runCli(
        {"export", "--archives", "--format", "original", "--out", out.path().string(), in.path().string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string zip = in.file("setup.zip");
    EXPECT_NE(run.out.find(in.file("first.exe") + "(0)\t" + out.file("icon_group1.ico")), std::string::npos);
    ASSERT_NE(run.out.find(zip + "//SETUP/APP.EXE(0)\t"), std::string::npos) << run.out;
    // The member's first icon, written as the same file outside writes it.
    const test::CliRun outside =
        test::runCli({"export", "--format", "original", "--out", in.file("o"), fixture("icons32.exe")});
    ASSERT_EQ(outside.status, 0);
    const std::string line = run.out.substr(run.out.find(zip + "//SETUP/APP.EXE(0)\t"));
    const std::string written = line.substr(line.find('\t') + 1, line.find('\n') - line.find('\t') - 1);
    EXPECT_EQ(test::readText(written), test::readText(in.file("o/icon_group1.ico")));
}

} // namespace
} // namespace gb

// Names print escaped (escapeText): a file or member name can hold any
// byte, and must never make a line, a field or a terminal command of its own.
#include "core/imagefiles/ico_writer.h"
#include "core/text/escaped_text.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

namespace gb::cli {
namespace {

using test::runCli;
using test::TempFolder;

constexpr char kForged[] = "nl\nfake.exe(0)\t32x32@32\t16x16@32\nreal.exe";
constexpr char kEscapeSequence[] = "esc\x1b[2J.exe";

std::vector<std::byte> icoFile()
{
    RgbaImage image(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            image.at(x, y) = Rgba{10, 120, 200, 255};
    return encodeIco(image);
}

// Runs the zip tool in `folder` with the arguments as they are, no shell
// between: zip -q -X ARCHIVE MEMBER...
bool zipIn(const std::string& folder, const std::string& archive, const std::vector<std::string>& members)
{
    std::vector<std::string> args{"zip", "-q", "-X", archive};
    args.insert(args.end(), members.begin(), members.end());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.c_str()) == 0)
            ::execvp("zip", argv.data());
        ::_exit(127);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// A zip holding the icon file under `name`, made as the standard tool makes it.
std::string zipHolding(const TempFolder& folder, const std::string& name)
{
    const std::string staging = folder.file("staging");
    std::filesystem::create_directory(staging);
    folder.write("staging/" + name, icoFile());
    const std::string zip = folder.file("names.zip");
    EXPECT_TRUE(zipIn(staging, zip, {name}));
    return zip;
}

std::size_t lineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::ranges::count(text, '\n'));
}

TEST(CliEscapedNames, ForgedMemberNameGivesOneListRecordWithItsKeyEscaped)
{
    TempFolder folder;
    const std::string zip = zipHolding(folder, kForged);
    const test::CliRun run = runCli({"list", "--archives", "--pattern", "*", zip});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, zip + "//nl\\nfake.exe(0)\\t32x32@32\\t16x16@32\\nreal.exe(0)\t32x32@32\t32x32@32\n");
    EXPECT_EQ(lineCount(run.out), 1u);
    EXPECT_EQ(run.err, "1 icons in 1 files\n");
}

TEST(CliEscapedNames, EscapeInAMemberNameNeverReachesTheTerminal)
{
    TempFolder folder;
    const std::string zip = zipHolding(folder, kEscapeSequence);
    const test::CliRun run = runCli({"list", "--archives", "--pattern", "*", zip});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, zip + "//esc\\x1b[2J.exe(0)\t32x32@32\t32x32@32\n");
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
}

TEST(CliEscapedNames, ExportLinesEscapeTheKeyAndTheFile)
{
    TempFolder folder;
    const std::string zip = zipHolding(folder, kForged);
    const std::string out = folder.file("out\\put");
    const test::CliRun run = runCli(
        {"export", "--archives", "--pattern", "*", "--size", "32", "--format", "ico", "--out", out, zip});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, zip + "//nl\\nfake.exe(0)\\t32x32@32\\t16x16@32\\nreal.exe(0)\t" +
                           escapeText(out + "/icon_Icon1.ico") + "\n");
    EXPECT_EQ(lineCount(run.out), 1u);
    // Read back, the fields are the key and the file's real name.
    const std::string line = run.out.substr(0, run.out.size() - 1);
    const std::size_t tab = line.find('\t');
    EXPECT_EQ(unescapeText(line.substr(0, tab)), zip + "//" + kForged + "(0)");
    EXPECT_TRUE(std::filesystem::exists(*unescapeText(line.substr(tab + 1))));
}

TEST(CliEscapedNames, FailureLinesEscapeThePath)
{
    TempFolder folder;
    const std::string missing = folder.file("gone\nglimmerbox-cli: \x1b[2Jforged.exe");
    const test::CliRun run = runCli({"list", missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(lineCount(run.err), 2u) << run.err; // the failure, then the totals
    EXPECT_NE(run.err.find(escapeText(missing) + ": cannot open"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
}

} // namespace
} // namespace gb::cli

#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"
#include "core/imagefiles/ico_writer.h"
#include "core/text/escaped_text.h"
#include "programs/cli/cli_commands.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

#include "support/printers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <sys/stat.h>

namespace gb::cli {
namespace {

using test::CliRun;
using test::runCli;
using test::TempFolder;

RgbaImage redSquare(int side)
{
    RgbaImage image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = side / 2; x < side; ++x)
            image.at(x, y) = Rgba{220, 10, 10, 255};
    return image;
}

TEST(CliList, PrintsKeyAndChosenEntriesThenTheTotals)
{
    TempFolder folder;
    const auto ico = folder.write("app (x86).ico", encodeIco(redSquare(48)));
    const auto text = folder.write("readme.txt", std::as_bytes(std::span(std::string_view("hello"))));

    const CliRun r = runCli({"list", ico, text});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, ico + "(0)\t48x48@32\t48x48@32\n");
    EXPECT_EQ(r.err, "1 icons in 2 files\n");
}

TEST(CliList, UnreadableFilesFailButTheOthersAreStillListed)
{
    TempFolder folder;
    const auto ico = folder.write("a.ico", encodeIco(redSquare(16)));
    const std::string fifo = folder.file("pipe.exe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    const CliRun r = runCli({"list", folder.file("missing.exe"), fifo, ico});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, ico + "(0)\t16x16@32\t16x16@32\n");
    EXPECT_NE(r.err.find("missing.exe: cannot open"), std::string::npos);
    EXPECT_NE(r.err.find("pipe.exe: not a regular file"), std::string::npos);
    EXPECT_NE(r.err.find("1 icons in 3 files"), std::string::npos);
}

TEST(CliList, FoldersAreSearchedInTheWindowsOrderWithPatternAndSubfolders)
{
    TempFolder folder;
    const auto icon = encodeIco(redSquare(32));
    std::filesystem::create_directories(folder.path() / "sub/deeper");
    folder.write("b.ICO", icon);
    folder.write("a.ico", icon);
    folder.write("skip.exe", icon);
    folder.write("sub/c.ico", icon);
    folder.write("sub/deeper/d.ico", icon);
    const std::string root = folder.path().string();

    CliRun r = runCli({"list", "--pattern", "*.ico", root});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, root + "/a.ico(0)\t32x32@32\t32x32@32\n" + root + "/b.ICO(0)\t32x32@32\t32x32@32\n");

    r = runCli({"list", "--recursive", "--pattern=*.ico;*.exe", root});
    std::string keys;
    for (std::size_t at = 0; at < r.out.size(); at = r.out.find('\n', at) + 1)
        keys += r.out.substr(at + root.size(), r.out.find('\t', at) - at - root.size()) + " ";
    EXPECT_EQ(keys, "/sub/deeper/d.ico(0) /sub/c.ico(0) /a.ico(0) /b.ICO(0) /skip.exe(0) ");
    EXPECT_EQ(r.err, "5 icons in 5 files\n");
}

// Such a name is found and read by its bytes; printed, its bytes that are
// no UTF-8 are escaped, and read back they are the name again.
TEST(CliList, NamesThatAreNotUtf8AreReadAndPrintedEscaped)
{
    TempFolder folder;
    const std::string name = std::string("caf\xe9") + "\xff.ico"; // Latin-1 bytes
    const auto ico = folder.write(name, encodeIco(redSquare(32)));
    const CliRun r = runCli({"list", ico});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, folder.file("caf\\xe9\\xff.ico") + "(0)\t32x32@32\t32x32@32\n");
    EXPECT_EQ(unescapeText(r.out.substr(0, r.out.find('\t'))), ico + "(0)");
}

TEST(CliList, BrokenIconFileIsReportedWithItsReason)
{
    TempFolder folder;
    auto bytes = encodeIco(redSquare(32));
    bytes.resize(10); // the directory entry is cut
    const auto path = folder.write("cut.ico", bytes);
    const CliRun r = runCli({"list", path});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cut.ico: truncated"), std::string::npos);
}

struct ExportCase {
    const char* format;
    const char* size;
    const char* expectedName;
};

class CliExport : public ::testing::TestWithParam<ExportCase> {};

TEST_P(CliExport, WritesOneNumberedFilePerIconInListOrder)
{
    const ExportCase& c = GetParam();
    TempFolder folder;
    const auto a = folder.write("a.ico", encodeIco(redSquare(32)));
    const auto b = folder.write("b.ico", encodeIco(redSquare(16)));
    const std::string out = folder.file("out/deeper");

    const CliRun r =
        runCli({"export", "--size", c.size, "--format", c.format, "--prefix", "x", "--out", out, a, b});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string first = out + "/x" + c.expectedName + "1", second = out + "/x" + c.expectedName + "2";
    const std::string ext = std::string(c.format) == "original" ? ".ico" : std::string(".") + c.format;
    EXPECT_EQ(r.out, a + "(0)\t" + first + ext + "\n" + b + "(0)\t" + second + ext + "\n");
    EXPECT_TRUE(std::filesystem::is_regular_file(first + ext));
    EXPECT_TRUE(std::filesystem::is_regular_file(second + ext));
}

INSTANTIATE_TEST_SUITE_P(Formats, CliExport,
                         ::testing::Values(ExportCase{"ico", "32", "_Icon"}, ExportCase{"bmp", "16", "_bmp"},
                                           ExportCase{"png", "32", "_png"},
                                           ExportCase{"original", "32", "_group"}),
                         [](const auto& p) { return std::string(p.param.format); });

TEST(CliExport, IcoAtSixteenHoldsTheSixteenPixelImageInGray)
{
    TempFolder folder;
    const auto src = folder.write("a.ico", encodeIco(redSquare(32)));
    const CliRun r =
        runCli({"export", "--size", "16", "--format", "ico", "--gray", "--out", folder.file("o"), src});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string written = test::readText(folder.file("o/icon_Icon1.ico"));
    auto group = IconSource::fromBytes(ByteReader(std::as_bytes(std::span(written)))).group(0);
    ASSERT_TRUE(group);
    auto image = decodeIconImage(*group->entries.at(0).image);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 16);
    EXPECT_EQ(image->at(15, 0), (Rgba{72, 72, 72, 255})); // cltogry(220, 10, 10)
    EXPECT_EQ(image->at(0, 0).a, 0);                      // transparency kept
}

TEST(CliExport, AFileThatCannotBeWrittenIsReportedAndTheRestGoOn)
{
    TempFolder folder;
    const auto a = folder.write("a.ico", encodeIco(redSquare(32)));
    const std::string out = folder.file("o");
    ASSERT_TRUE(std::filesystem::create_directories(out + "/icon_Icon1.ico")); // a folder in the way
    const CliRun r = runCli({"export", "--size", "32", "--format", "ico", "--out", out, a, a});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("icon_Icon1.ico: cannot replace"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(out + "/icon_Icon2.ico"));
}

TEST(CliExport, FullDiskStopsTheExportAtTheFirstNoSpaceAndSaysHowManyIconsWereNotWritten)
{
    // Six icons in six files; the disk fills up at the third. What follows
    // is counted, not tried: one "no space" line, not one per icon.
    TempFolder folder;
    for (const char* name : {"1.ico", "2.ico", "3.ico", "4.ico", "5.ico", "6.ico"})
        folder.write(name, encodeIco(redSquare(16)));
    int attempts = 0;
    const StageStep diskFillsUp =
        [&](const std::string& path,
            std::span<const std::byte> bytes) -> std::expected<StagedFile, WriteFailure> {
        if (++attempts < 3)
            return stageForGroupSync(path, bytes);
        return std::unexpected(
            WriteFailure{ENOSPC, "cannot write: No space left on device", WriteProblem::Full});
    };
    const std::string outDir = folder.file("out");
    const std::vector<std::string> args{"export", "--size", "16",        "--format", "ico",
                                        "--out",  outDir,   "--pattern", "*.ico",    folder.path().string()};
    const auto command = parseCommandLine(args);
    ASSERT_TRUE(command) << command.error();
    std::ostringstream out, err;

    EXPECT_EQ(runExport(*command, out, err, diskFillsUp), 1);
    EXPECT_EQ(attempts, 3);
    const std::string root = folder.path().string();
    EXPECT_EQ(out.str(), root + "/1.ico(0)\t" + outDir + "/icon_Icon1.ico\n" + root + "/2.ico(0)\t" + outDir +
                             "/icon_Icon2.ico\n");
    EXPECT_EQ(err.str(), "glimmerbox-cli: " + outDir +
                             "/icon_Icon3.ico: cannot write: No space left on device\n"
                             "glimmerbox-cli: no space left in " +
                             outDir + ": export stopped, 4 icons not written\n");
}

TEST(CliExport, FilesGoIntoPlaceAGroupAtATimeRatherThanEachWithASyncOfItsOwn)
{
    // Written one by one, each with its own sync, an export took three times
    // as long as the window's batch of the same icons. Now every file of a
    // group is staged before the first is renamed, and each is printed once
    // it is in place, in list order.
    TempFolder folder;
    for (const char* name : {"1.ico", "2.ico", "3.ico"})
        folder.write(name, encodeIco(redSquare(16)));
    const std::string outDir = folder.file("out");
    std::vector<bool> inPlaceWhenStaged;
    const StageStep stage = [&](const std::string& path, std::span<const std::byte> bytes) {
        inPlaceWhenStaged.push_back(std::filesystem::exists(outDir + "/icon_Icon1.ico"));
        return stageForGroupSync(path, bytes);
    };
    const auto command =
        parseCommandLine(std::vector<std::string>{"export", "--size", "16", "--format", "ico", "--out",
                                                  outDir, "--pattern", "*.ico", folder.path().string()});
    ASSERT_TRUE(command) << command.error();
    std::ostringstream out, err;

    EXPECT_EQ(runExport(*command, out, err, stage), 0) << err.str();
    EXPECT_EQ(inPlaceWhenStaged, (std::vector<bool>{false, false, false}));
    const std::string root = folder.path().string();
    EXPECT_EQ(out.str(), root + "/1.ico(0)\t" + outDir + "/icon_Icon1.ico\n" + root + "/2.ico(0)\t" + outDir +
                             "/icon_Icon2.ico\n" + root + "/3.ico(0)\t" + outDir + "/icon_Icon3.ico\n");
}

TEST(CliExport, OutputFolderThatIsAFileIsAFailure)
{
    TempFolder folder;
    const auto a = folder.write("a.ico", encodeIco(redSquare(32)));
    const CliRun r = runCli({"export", "--size", "32", "--format", "ico", "--out", a, a});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot make the output folder"), std::string::npos);
}

// Files are read on several threads and written in list order: every job
// count gives the same lines, messages, numbers and bytes as one.
TEST(CliJobs, EveryJobCountWritesWhatOneJobWrites)
{
    TempFolder folder;
    const std::filesystem::path fixtures(GB_FIXTURE_DIR);
    const char* names[] = {"icons32.exe", "icons64.dll", "depth8.ico", "depth24.ico", "odd32.exe"};
    for (int n = 0; n < 24; ++n) {
        const auto dir = folder.path() / "in" / ("f" + std::to_string(n % 4));
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(fixtures / names[n % 5], dir / (std::to_string(n) + ".exe"));
    }
    auto cut = encodeIco(redSquare(32));
    cut.resize(10);
    folder.write("in/f1/cut.exe", cut);
    const std::string in = (folder.path() / "in").string();

    const auto filesUnder = [](const std::filesystem::path& root) {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file()) {
                std::ifstream file(entry.path(), std::ios::binary);
                files[entry.path().lexically_relative(root).string()] =
                    std::string(std::istreambuf_iterator<char>(file), {});
            }
        return files;
    };
    const std::vector<std::vector<std::string>> commands = {
        {"list", "--recursive"},
        {"list", "--recursive", "--json"},
        {"export", "--recursive", "--size", "32", "--format", "png"},
        {"export", "--recursive", "--size", "all", "--format", "png", "--gray"},
        {"export", "--recursive", "--format", "hicolor"},
    };
    for (const auto& command : commands) {
        std::vector<CliRun> runs;
        std::vector<std::map<std::string, std::string>> written;
        for (const char* jobs : {"1", "4"}) {
            const std::string out = folder.file(std::string("out") + jobs);
            std::filesystem::remove_all(out);
            std::vector<std::string> args = command;
            args.insert(args.end(), {"-j", jobs, "--out", out, in});
            if (command[0] == "list")
                args.erase(args.end() - 3, args.end() - 1);
            CliRun run = runCli(args);
            const std::string outPrefix = out;
            for (std::string* text : {&run.out, &run.err})
                for (std::size_t at; (at = text->find(outPrefix)) != std::string::npos;)
                    text->replace(at, outPrefix.size(), "OUT");
            runs.push_back(run);
            written.push_back(command[0] == "list" ? std::map<std::string, std::string>{} : filesUnder(out));
        }
        EXPECT_EQ(runs[0].status, 1) << command.back(); // the cut file
        EXPECT_EQ(runs[1].status, runs[0].status) << command.back();
        EXPECT_EQ(runs[1].out, runs[0].out) << command.back();
        EXPECT_EQ(runs[1].err, runs[0].err) << command.back();
        EXPECT_EQ(written[1], written[0]) << command.back();
        EXPECT_GT(std::count(runs[0].out.begin(), runs[0].out.end(), '\n'), 40) << command.back();
    }
}

TEST(CliProgram, ExitStatusReachesTheShell)
{
    EXPECT_EQ(std::system(GB_CLI_PATH " --help > /dev/null"), 0);
    EXPECT_EQ(WEXITSTATUS(std::system(GB_CLI_PATH " frobnicate 2> /dev/null")), 2);
    EXPECT_EQ(WEXITSTATUS(std::system(GB_CLI_PATH " list /nonexistent/x.exe 2> /dev/null")), 1);
}

} // namespace
} // namespace gb::cli

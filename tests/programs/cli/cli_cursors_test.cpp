#include "support/cli_run.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

namespace gb::cli {
namespace {

using Json = nlohmann::json;
using test::runCli;
using test::TempFolder;

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

TEST(CliListCursors, OneLinePerCursorWithEntry32AndFrames)
{
    const std::string exe = fixture("cursors32.exe");
    const auto run = runCli({"list", "--cursors", exe, fixture("cursors/arrow.cur"), fixture("depth8.ico")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, exe + "(0)\t32x32@8\t1\n" + exe + "(1)\t32x32@8\t1\n" + exe + "(2)\t32x32@8\t1\n" +
                           exe + "(3)\t32x32@8\t2\n" + exe + "(4)\t32x32@8\t2\n" +
                           fixture("cursors/arrow.cur") + "(0)\t32x32@8\t1\n");
    EXPECT_EQ(run.err, "6 cursors in 3 files\n");
}

TEST(CliListCursors, WithoutTheFlagTheIconsStayAsTheyWere)
{
    const auto run = runCli({"list", fixture("cursors32.exe")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, fixture("cursors32.exe") + "(0)\t32x32@24\t16x16@8\n");
    EXPECT_EQ(run.err, "1 icons in 1 files\n");
}

TEST(CliListCursors, JsonGivesKindHotspotsStepsAndDelays)
{
    const auto run = runCli({"list", "--cursors", "--json", fixture("cursors64.dll")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::vector<Json> cursors;
    for (std::string line; std::getline(lines, line);)
        cursors.push_back(Json::parse(line));
    ASSERT_EQ(cursors.size(), 5u);
    EXPECT_EQ(cursors[0]["kind"], "cursor");
    EXPECT_EQ(cursors[0]["resource"], "POINTER");
    EXPECT_EQ(cursors[0]["images"][0]["hotspot"], Json::parse("[1, 2]"));
    EXPECT_EQ(cursors[0]["images"][1]["width"], 16);
    EXPECT_FALSE(cursors[0].contains("steps"));
    EXPECT_EQ(cursors[3]["kind"], "animated");
    EXPECT_EQ(cursors[3]["frames"], 2);
    EXPECT_EQ(cursors[3]["steps"], Json::parse("[0, 1, 0, 0]"));
    EXPECT_EQ(cursors[3]["delays_ms"], Json::parse("[17, 33, 50, 167]"));
    EXPECT_EQ(cursors[4]["resource_type"], 22);
}

TEST(CliListCursors, JsonSaysWhichSizesAreStoredAndWhichMade)
{
    // POINTER stores 32 and 16; the default adds 24 and 48, --sizes names its own.
    const struct {
        std::vector<std::string> sizes;
        const char* expected;
    } cases[] = {
        {{},
         R"([{"size":16,"made":false},{"size":24,"made":true},{"size":32,"made":false},)"
         R"({"size":48,"made":true}])"},
        {{"--sizes", "64,32"}, R"([{"size":32,"made":false},{"size":64,"made":true}])"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"list", "--cursors", "--json"};
        args.insert(args.end(), c.sizes.begin(), c.sizes.end());
        args.push_back(fixture("cursors64.dll"));
        const auto run = runCli(args);
        ASSERT_EQ(run.status, 0) << run.err;
        const Json first = Json::parse(run.out.substr(0, run.out.find('\n')));
        EXPECT_EQ(first["sizes"], Json::parse(c.expected)) << c.sizes.size();
    }
    EXPECT_EQ(runCli({"list", "--sizes", "32", fixture("cursors64.dll")}).status, 2);
}

TEST(CliListCursors, AnimatedCursorTheIconReaderRefusesIsStillListed)
{
    const auto run = runCli(
        {"list", "--cursors", fixture("cursors/raw_frames.ani"), fixture("cursors/odd_chunks_unpadded.ani")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, fixture("cursors/raw_frames.ani") + "(0)\t32x32@8\t2\n" +
                           fixture("cursors/odd_chunks_unpadded.ani") + "(0)\t32x32@8\t2\n");

    // Inside a zip too, and exported from there.
    const std::string zip = fixture("containers/cursor_pack.zip");
    const auto inZip = runCli({"list", "--cursors", "--archives", "--pattern", "raw*.ani", zip});
    EXPECT_EQ(inZip.status, 0) << inZip.err;
    EXPECT_EQ(inZip.out, zip + "//Glass Pack/Extras/raw frames.ani(0)\t32x32@8\t2\n");
    const TempFolder out;
    const auto exported = runCli({"export", "--cursors", "--archives", "--pattern", "raw*.ani", "--format",
                                  "ani", "--out", out.path().string(), zip});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_TRUE(std::filesystem::exists(out.path() / "icon_cursor1.ani")) << exported.out;
}

TEST(CliListCursors, SequenceNamingAMissingFrameIsReportedWithItsReason)
{
    const std::string ani = fixture("cursors/sequence_past_frames.ani");
    const auto run = runCli({"list", "--cursors", ani});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, ani + "(0)\tnone\t0\n");
    EXPECT_NE(run.err.find("glimmerbox-cli: " + ani + "(0): step 2 of the 'seq ' chunk names frame 2"),
              std::string::npos)
        << run.err;
}

} // namespace
} // namespace gb::cli

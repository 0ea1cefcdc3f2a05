// export --cursors: the files it writes are read back by their consumers
// (libXcursor for Xcursor files) and by our own readers.
#include "core/bytes/byte_source.h"
#include "core/cursors/cursor_reader.h"
#include "core/cursors/cursor_sizes.h"
#include "support/cli_run.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include "support/libxcursor.h" // after GoogleTest

#include <filesystem>

namespace gb::cli {
namespace {

using test::runCli;

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

Cursor readOne(const std::string& path)
{
    const std::string bytes = test::readText(path);
    const MemorySource source(ByteReader(std::as_bytes(std::span(bytes))));
    auto found = readCursors(source);
    EXPECT_TRUE(found && found->size() == 1 && found->front().cursor) << path;
    return found && !found->empty() && found->front().cursor ? *found->front().cursor : Cursor{};
}

TEST(CliExportCursors, AnimatedCursorAsXcursorPlaysEveryStepInLibXcursor)
{
    test::TempFolder out;
    const std::string ani = fixture("cursors/sequenced.ani");
    const auto run = runCli(
        {"export", "--cursors", "--format", "xcursor", "--prefix", "P", "--out", out.path().string(), ani});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, ani + "(0)\t" + out.file("P_cursor1") + "\n");
    const Cursor cursor = readOne(ani);
    const SizedCursor sized = cursorAtSizes(cursor).value();
    for (std::size_t s = 0; s < sized.sizes.size(); ++s) {
        XcursorImages* images = XcursorFilenameLoadImages(out.file("P_cursor1").c_str(), sized.sizes[s]);
        ASSERT_TRUE(images);
        ASSERT_EQ(static_cast<std::size_t>(images->nimage), cursor.steps.size());
        for (std::size_t step = 0; step < cursor.steps.size(); ++step) {
            const XcursorImage& image = *images->images[step];
            const SizedCursorImage& expected = sized.frames[static_cast<std::size_t>(cursor.steps[step])][s];
            EXPECT_EQ(static_cast<int>(image.size), sized.sizes[s]);
            EXPECT_EQ(static_cast<int>(image.delay), std::max(1, cursor.delaysMs[step]));
            EXPECT_EQ(static_cast<int>(image.xhot), expected.hotspotX);
            EXPECT_EQ(static_cast<int>(image.yhot), expected.hotspotY);
        }
        XcursorImagesDestroy(images);
    }
}

TEST(CliExportCursors, CurFileIsWrittenBackByteForByte)
{
    test::TempFolder out;
    const std::string cur = fixture("cursors/arrow.cur");
    const auto run = runCli({"export", "--cursors", "--format", "cur", "--out", out.path().string(), cur});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::readText(out.file("icon_cursor1.cur")), test::readText(cur));
}

TEST(CliExportCursors, AniWrittenIsReadBackWithItsStepsAndDelays)
{
    test::TempFolder out;
    const std::string ani = fixture("cursors/sequenced.ani");
    const auto run = runCli({"export", "--cursors", "--format", "ani", "--out", out.path().string(), ani});
    ASSERT_EQ(run.status, 0) << run.err;
    const Cursor original = readOne(ani), written = readOne(out.file("icon_cursor1.ani"));
    EXPECT_EQ(written.steps, original.steps);
    EXPECT_EQ(written.delaysMs, original.delaysMs);
    ASSERT_EQ(written.frames.size(), original.frames.size());
    for (std::size_t f = 0; f < written.frames.size(); ++f)
        for (std::size_t i = 0; i < written.frames[f].images.size(); ++i) {
            EXPECT_EQ(written.frames[f].images[i].stored, original.frames[f].images[i].stored);
            EXPECT_EQ(written.frames[f].images[i].hotspotX, original.frames[f].images[i].hotspotX);
            EXPECT_EQ(written.frames[f].images[i].hotspotY, original.frames[f].images[i].hotspotY);
        }
}

TEST(CliExportCursors, PngAtTheSizesAsked)
{
    test::TempFolder out;
    const auto run = runCli({"export", "--cursors", "--format", "png", "--sizes", "64,16", "--prefix", "P",
                             "--out", out.path().string(), fixture("cursors/arrow.cur")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(out.file("P_cursor1_16x16.png")));
    EXPECT_TRUE(std::filesystem::exists(out.file("P_cursor1_64x64.png")));
}

TEST(CliExportCursors, CursorThatCannotBeReadIsReportedAndTheRunFails)
{
    test::TempFolder out;
    const std::string ani = fixture("cursors/sequence_past_frames.ani");
    const auto run = runCli({"export", "--cursors", "--format", "xcursor", "--out", out.path().string(), ani,
                             fixture("cursors/arrow.cur")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(ani + "(0): step 2 of the 'seq ' chunk names frame 2"), std::string::npos)
        << run.err;
    EXPECT_TRUE(std::filesystem::exists(out.file("icon_cursor2")));
}

struct UsageCase {
    std::vector<std::string> args;
    std::string message;
};

TEST(CliExportCursors, OptionsThatDoNotFitAreUsageErrors)
{
    const UsageCase cases[] = {
        {{"--cursors", "--format", "ico"}, "export --cursors takes --format cur, ani, xcursor or png"},
        {{"--format", "xcursor"}, "--format cur, ani and xcursor take --cursors"},
        {{"--size", "32", "--format", "png", "--sizes", "32"}, "--sizes takes --cursors"},
        {{"--cursors", "--format", "cur", "--sizes", "32"},
         "--sizes takes --format xcursor or png: cur and ani keep the stored images"},
        {{"--cursors", "--format", "png", "--size", "32"}, "export --cursors takes --sizes, not --size"},
        {{"--cursors", "--format", "png", "--sizes", "0"},
         "--sizes takes sizes from 1 to 256 separated by commas"},
        {{"--cursors", "--format", "png", "--sizes", "24,,32"},
         "--sizes takes sizes from 1 to 256 separated by commas"},
        {{"--cursors", "--format", "png", "--sizes", "257"},
         "--sizes takes sizes from 1 to 256 separated by commas"},
        {{"--cursors", "--format", "xcursor", "--gray"}, "--gray does not apply to cursors"},
    };
    for (const UsageCase& c : cases) {
        std::vector<std::string> args{"export"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"--out", "unused", "a.cur"});
        const auto run = runCli(args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find("glimmerbox-cli: " + c.message + "\n"), std::string::npos) << run.err;
    }
}

} // namespace
} // namespace gb::cli

#include "programs/cli/cli_commands.h"

#include "core/icons/png_decoder.h"
#include "fixtures/fixture_facts.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

namespace gb::cli {
namespace {

using test::TempFolder;

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

struct ExportRun {
    int status;
    std::string out, err;
};

ExportRun runCli(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = runCommandLine(args, out, err);
    return ExportRun{status, out.str(), err.str()};
}

// Every file below the folder, as paths relative to it.
std::set<std::string> treeOf(const std::filesystem::path& folder)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), folder).string());
    return files;
}

RgbaImage readPng(const std::string& file)
{
    const std::string bytes = test::readText(file);
    const auto image = decodePng(ByteReader(std::as_bytes(std::span(bytes))));
    return image ? *image : RgbaImage();
}

Rgba bodyOf(const gbfix::Img& img)
{
    return Rgba{img.body.r, img.body.g, img.body.b, 255};
}

TEST(CliNativeSizes, SizeAllWritesOnePngPerStoredSizeAtThatSize)
{
    TempFolder out;
    const ExportRun r = runCli({"export", "--size", "all", "--format", "png", "--prefix", "m", "--out",
                                out.path().string(), fixture("mixed_depths.ico")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(treeOf(out.path()), (std::set<std::string>{"m_png1_32x32.png", "m_png1_16x16.png",
                                                         "m_png1_48x48.png", "m_png1_256x256.png"}));
    // Of the six 32x32 images the deepest is the one kept.
    const RgbaImage image32 = readPng(out.file("m_png1_32x32.png"));
    ASSERT_EQ(image32.width(), 32);
    EXPECT_EQ(image32.at(24, 24), bodyOf(gbfix::mix_32_32));
    EXPECT_EQ(readPng(out.file("m_png1_256x256.png")).width(), 256);
}

TEST(CliNativeSizes, HicolorWritesAThemeTreeOfTheStandardSizesPresent)
{
    TempFolder out;
    const ExportRun r = runCli({"export", "--format", "hicolor", "--prefix", "app", "--out",
                                out.path().string(), fixture("icons32.exe")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::set<std::string> tree = treeOf(out.path());
    // APPLE (256 PNG, 32, 16), ZEBRA (16, 32, 48), then the numbered groups.
    EXPECT_TRUE(tree.contains("hicolor/256x256/apps/app_1.png"));
    EXPECT_TRUE(tree.contains("hicolor/32x32/apps/app_1.png"));
    EXPECT_TRUE(tree.contains("hicolor/16x16/apps/app_1.png"));
    EXPECT_FALSE(tree.contains("hicolor/48x48/apps/app_1.png"));
    EXPECT_TRUE(tree.contains("hicolor/48x48/apps/app_2.png"));
    EXPECT_EQ(readPng(out.file("hicolor/256x256/apps/app_1.png")).at(200, 200), bodyOf(gbfix::apple_256));
    EXPECT_EQ(readPng(out.file("hicolor/48x48/apps/app_2.png")).at(36, 36), bodyOf(gbfix::zebra_48));
}

TEST(CliNativeSizes, HicolorLeavesOutSizesThatAreNotStandard)
{
    TempFolder out;
    const ExportRun r =
        runCli({"export", "--format", "hicolor", "--out", out.path().string(), fixture("odd_sizes.ico")});
    // odd_sizes.ico stores 20x20 and 28x36: nothing a theme tree holds.
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no stored image of a size of the hicolor theme"), std::string::npos) << r.err;
    EXPECT_TRUE(treeOf(out.path()).empty());
}

TEST(CliNativeSizes, SizeAllIsOnlyForPng)
{
    const ExportRun r = runCli({"export", "--size", "all", "--format", "ico", "--out", "/tmp/x", "a.exe"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--size all takes --format png"), std::string::npos);
}

} // namespace
} // namespace gb::cli

#include "thumbnailer/thumbnail.h"
#include "thumbnailer/thumbnailer_args.h"

#include "fixtures/fixture_facts.h"
#include "platform/icons/png_decoder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace gb::thumbnailer {
namespace {

using test::TempFolder;

std::string fixture(const std::string& name)
{
    return std::string(GB_FIXTURE_DIR) + "/" + name;
}

Rgba bodyOf(const gbfix::Img& img)
{
    return Rgba{img.body.r, img.body.g, img.body.b, 255};
}

RgbaImage decodeThumbnail(const std::string& file)
{
    const std::string bytes = test::readText(file);
    const auto image = decodePng(ByteReader(std::as_bytes(std::span(bytes))));
    return image ? *image : RgbaImage();
}

int run(std::vector<std::string> args, std::string* err = nullptr)
{
    std::ostringstream stream;
    const int status = runThumbnailer(args, stream);
    if (err != nullptr)
        *err = stream.str();
    return status;
}

std::size_t filesIn(const std::filesystem::path& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// mixed_depths.ico stores every depth at 32, three at 16, one 48@8 and a 256 PNG.
struct SizeCase {
    int asked;
    int side;        // of the thumbnail written
    gbfix::Img from; // the stored image it comes from
};

class ThumbnailSize : public testing::TestWithParam<SizeCase> {};

// The image of the size asked when stored; else the smallest larger one,
// scaled down; else the largest smaller one, at its own size.
TEST_P(ThumbnailSize, BestStoredImageForTheSizeIsChosen)
{
    const SizeCase c = GetParam();
    TempFolder folder;
    const std::string out = folder.file("thumb.png");
    ASSERT_EQ(run({"-s", std::to_string(c.asked), fixture("mixed_depths.ico"), out}), 0);
    const RgbaImage image = decodeThumbnail(out);
    ASSERT_EQ(image.width(), c.side);
    ASSERT_EQ(image.height(), c.side);
    EXPECT_EQ(image.at(c.side * 3 / 4, c.side * 3 / 4), bodyOf(c.from));
    EXPECT_EQ(image.at(c.side / 8, c.side / 8).a, 0);
}

INSTANTIATE_TEST_SUITE_P(
    MixedDepths, ThumbnailSize,
    testing::Values(SizeCase{256, 256, gbfix::mix_256}, SizeCase{1024, 256, gbfix::mix_256},
                    SizeCase{128, 128, gbfix::mix_256}, SizeCase{48, 48, gbfix::mix_48_8},
                    SizeCase{40, 40, gbfix::mix_48_8}, SizeCase{32, 32, gbfix::mix_32_32},
                    SizeCase{16, 16, gbfix::mix_16_24}, SizeCase{8, 8, gbfix::mix_16_24}));

TEST(Thumbnailer, GroupOfOnlySmallerImagesIsNotEnlarged)
{
    TempFolder folder;
    const std::string out = folder.file("thumb.png");
    ASSERT_EQ(run({"-s", "128", fixture("depth24.ico"), out}), 0);
    EXPECT_EQ(decodeThumbnail(out).width(), 48);
}

TEST(Thumbnailer, ProgramShowsItsFirstIconGroup)
{
    // icons32.exe holds APPLE, ZEBRA (names first, by name), then numbered groups.
    TempFolder folder;
    const std::string out = folder.file("thumb.png");
    ASSERT_EQ(run({"-s", "32", fixture("icons32.exe"), out}), 0);
    const RgbaImage image = decodeThumbnail(out);
    ASSERT_EQ(image.width(), 32);
    EXPECT_EQ(image.at(24, 24), bodyOf(gbfix::apple_32));
}

TEST(Thumbnailer, FileUriIsPercentDecoded)
{
    TempFolder folder;
    std::filesystem::copy_file(fixture("mixed_depths.ico"), folder.file("my icon%.ico"));
    const std::string out = folder.file("thumb.png");
    const std::string uri = "file://" + folder.path().string() + "/my%20icon%25.ico";
    ASSERT_EQ(run({"-s", "16", uri, out}), 0);
    EXPECT_EQ(decodeThumbnail(out).width(), 16);
}

TEST(Thumbnailer, FileWithoutIconExitsOneAndWritesNothing)
{
    TempFolder folder;
    const std::string text =
        folder.write("readme.exe", std::as_bytes(std::span(std::string_view("MZ no icon"))));
    std::string err;
    EXPECT_EQ(run({"-s", "128", text, folder.file("thumb.png")}, &err), 1);
    EXPECT_NE(err, "");
    EXPECT_EQ(filesIn(folder.path()), 1u); // the input alone: no output, no temporary file
}

TEST(Thumbnailer, BadInputExitsOneAndWritesNothing)
{
    TempFolder folder;
    const std::string out = folder.file("thumb.png");
    const std::string ico = fixture("mixed_depths.ico");
    const std::vector<std::vector<std::string>> cases = {
        {"-s", "abc", ico, out},
        {"-s", "0", ico, out},
        {"-s", "-5", ico, out},
        {"-s", "128", ico},
        {ico, out},
        {"-s", "128", folder.file("missing.exe"), out},
        {"-s", "128", folder.path().string(), out},
        {"-s", "128", "smb://host/share/app.exe", out},
        {"-s", "128", "file://otherhost/app.exe", out},
        {"-s", "128", "file:///tmp/broken%2", out},
        {"-s", "128", "file:///tmp/nul%00.exe", out},
        {"-s", "128", fixture("malformed/pe32_cyclic_type_directory.exe"), out},
    };
    for (const auto& args : cases) {
        EXPECT_EQ(run(args), 1) << testing::PrintToString(args);
        EXPECT_EQ(filesIn(folder.path()), 0u) << testing::PrintToString(args);
    }
}

TEST(Thumbnailer, UnwritableOutputFolderExitsOne)
{
    TempFolder folder;
    EXPECT_EQ(run({"-s", "32", fixture("mixed_depths.ico"), folder.file("no/such/folder/t.png")}), 1);
}

TEST(ThumbnailerArguments, PlainPathKeepsItsPercentSigns)
{
    EXPECT_EQ(localPathOf("/tmp/100%20.exe"), "/tmp/100%20.exe");
    EXPECT_EQ(localPathOf("file://localhost/tmp/a%20b.exe"), "/tmp/a b.exe");
    EXPECT_EQ(localPathOf("FILE:///tmp/%E4%B8%AD.exe"), "/tmp/\xE4\xB8\xAD.exe");
}

} // namespace
} // namespace gb::thumbnailer

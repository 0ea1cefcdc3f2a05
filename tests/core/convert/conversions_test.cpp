// libconvert's three functions, called as the program calls them: paths in,
// a status out, a file at the destination.
#include "core/convert/conversions.h"
#include "core/convert/convert_test_support.h"
#include "core/convert/jpeg_codec.h"
#include "libconvert/libconvert.h"
#include "support/unprivileged.h"

#include <array>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gb::convert {
namespace {

using test::TempFolder;

std::string writeBmp(const TempFolder& folder, const std::string& name, const test::BmpRecipe& recipe)
{
    return folder.write(name, test::buildBmp(recipe));
}

std::uintmax_t sizeOf(const std::string& path)
{
    return std::filesystem::file_size(path);
}

TEST(Conversions, BmpToJpegToBmpKeepsTheSizeAndIsCloseInColour)
{
    TempFolder folder;
    const auto recipe = test::photoLike(123, 77);
    const std::string bmp = writeBmp(folder, "in.bmp", recipe);
    const std::int32_t rate = 90;
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("out.jpg").c_str(), &rate), CONVERT_OK);
    ASSERT_EQ(jpgtobmp(folder.file("out.jpg").c_str(), folder.file("back.bmp").c_str()), CONVERT_OK);

    const auto back = test::readBytes(folder.file("back.bmp"));
    ASSERT_GE(back.size(), 54u);
    EXPECT_EQ(std::to_integer<int>(back[28]), 24); // written as 24 bits
    const auto original = test::decodeToRgb(test::readBytes(bmp));
    const auto decoded = test::decodeToRgb(back);
    ASSERT_TRUE(original && decoded);
    EXPECT_EQ(decoded->width, 123);
    EXPECT_EQ(decoded->height, 77);
    const auto d = test::difference(*original, *decoded);
    EXPECT_LT(d.mean, 4.0);
    EXPECT_LT(d.largest, 100); // the checkerboard's hard edges ring a little
}

TEST(Conversions, LowerRateGivesSmallerFile)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(200, 150));
    std::uintmax_t previous = 0;
    for (std::int32_t rate : {10, 40, 75, 95}) {
        const std::string out = folder.file("q" + std::to_string(rate) + ".jpg");
        ASSERT_EQ(bmptojpg(bmp.c_str(), out.c_str(), &rate), CONVERT_OK);
        EXPECT_GT(sizeOf(out), previous) << "rate " << rate;
        previous = sizeOf(out);
    }
}

TEST(Conversions, RateOutsideOneToHundredIsClampedAndZeroMeansSeventyFive)
{
    EXPECT_EQ(jpegQuality(nullptr), 75);
    const std::pair<std::int32_t, int> cases[] = {{0, 75},    {1, 1},  {55, 55},       {100, 100},
                                                  {101, 100}, {-1, 1}, {INT32_MIN, 1}, {INT32_MAX, 100}};
    for (auto [rate, quality] : cases)
        EXPECT_EQ(jpegQuality(&rate), quality) << rate;

    // And the files say the same: rate 0 and no rate write what rate 75 writes.
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(64, 48));
    const std::int32_t zero = 0, seventyFive = 75, huge = 5000, hundred = 100;
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("0.jpg").c_str(), &zero), CONVERT_OK);
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("null.jpg").c_str(), nullptr), CONVERT_OK);
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("75.jpg").c_str(), &seventyFive), CONVERT_OK);
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("5000.jpg").c_str(), &huge), CONVERT_OK);
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("100.jpg").c_str(), &hundred), CONVERT_OK);
    EXPECT_EQ(test::readBytes(folder.file("0.jpg")), test::readBytes(folder.file("75.jpg")));
    EXPECT_EQ(test::readBytes(folder.file("null.jpg")), test::readBytes(folder.file("75.jpg")));
    EXPECT_EQ(test::readBytes(folder.file("5000.jpg")), test::readBytes(folder.file("100.jpg")));
}

TEST(Conversions, EveryBmpFormConvertsToJpeg)
{
    // Colours change only from one 16 × 16 block to the next, so what JPEG
    // loses is little and the comparison tells a wrong reading from the loss.
    const auto blocks = [](std::uint32_t colours) {
        return
            [colours](int x, int y) { return static_cast<std::uint32_t>(x / 16 * 3 + y / 16 * 5) % colours; };
    };
    const auto rgbBlocks = [](int x, int y) {
        return static_cast<std::uint32_t>((x / 16 * 70) << 16 | (y / 16 * 80) << 8 | ((x + y) / 16 * 40));
    };
    std::vector<test::BmpRecipe> recipes;
    for (auto [bits, compression] : {std::pair{1, 0u}, {4, 0u}, {8, 0u}, {4, 2u}, {8, 1u}}) {
        test::BmpRecipe r;
        r.bitCount = bits;
        r.compression = compression;
        r.palette = test::colourPalette(1 << bits);
        r.pixel = blocks(1u << bits);
        recipes.push_back(r);
    }
    for (auto [bits, compression, topDown] :
         {std::tuple{16, 0u, false}, {16, 3u, true}, {24, 0u, true}, {32, 0u, false}, {32, 3u, true}}) {
        test::BmpRecipe r;
        r.bitCount = bits;
        r.compression = compression;
        r.topDown = topDown;
        r.masks = bits == 16 ? std::array<std::uint32_t, 4>{0xF800, 0x07E0, 0x001F, 0}
                             : std::array<std::uint32_t, 4>{0xFF, 0xFF00, 0xFF0000, 0};
        r.pixel = rgbBlocks;
        recipes.push_back(r);
    }
    TempFolder folder;
    for (test::BmpRecipe& recipe : recipes) {
        SCOPED_TRACE(testing::Message() << recipe.bitCount << " bits, compression " << recipe.compression);
        recipe.width = 64;
        recipe.height = 48;
        const std::string bmp = writeBmp(folder, "in.bmp", recipe);
        const std::int32_t rate = 95;
        ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("out.jpg").c_str(), &rate), CONVERT_OK);
        ASSERT_EQ(jpgtobmp(folder.file("out.jpg").c_str(), folder.file("back.bmp").c_str()), CONVERT_OK);
        const auto original = test::decodeToRgb(test::readBytes(bmp));
        const auto back = test::decodeToRgb(test::readBytes(folder.file("back.bmp")));
        ASSERT_TRUE(original && back);
        EXPECT_LT(test::difference(*original, *back).mean, 6.0); // a wrong reading is off by tens
    }
}

TEST(Conversions, JpegToJpegRecompressesAndKeepsGrayImagesGray)
{
    TempFolder folder;
    test::BmpRecipe gray = test::photoLike(80, 60);
    gray.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        gray.palette.push_back(
            {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)});
    gray.pixel = [](int x, int y) { return static_cast<std::uint32_t>((x * 3 + y * 2) % 256); };
    const std::string bmp = writeBmp(folder, "gray.bmp", gray);
    const std::int32_t high = 95, low = 20;
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("gray.jpg").c_str(), &high), CONVERT_OK);
    ASSERT_EQ(jpgtojpg(folder.file("gray.jpg").c_str(), folder.file("again.jpg").c_str(), &low), CONVERT_OK);
    EXPECT_LT(sizeOf(folder.file("again.jpg")), sizeOf(folder.file("gray.jpg")));
    const auto info = probeJpeg(test::readBytes(folder.file("again.jpg")));
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->gray);
    EXPECT_EQ(info->width, 80);
    EXPECT_EQ(info->height, 60);
}

// Below 24 cjpeg keeps quantisation values above 255 (16-bit tables); from
// 24 up they all fit in 8 bits. Both ends of the range and both sides of 24.
TEST(Conversions, BmpToJpegWritesWhatCjpegWritesAtEveryQualityFromOneToHundred)
{
    const std::string cjpeg = test::findTool({"cjpeg"});
    if (cjpeg.empty())
        GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed";
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(131, 97));
    for (std::int32_t rate : {1, 23, 24, 25, 30, 75, 92, 100}) {
        SCOPED_TRACE(rate);
        ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("ours.jpg").c_str(), &rate), CONVERT_OK);
        ASSERT_TRUE(test::run(test::quoted(cjpeg) + " -quality " + std::to_string(rate) + " -outfile " +
                              test::quoted(folder.file("theirs.jpg")) + " " + test::quoted(bmp)));
        EXPECT_EQ(test::readBytes(folder.file("ours.jpg")), test::readBytes(folder.file("theirs.jpg")));
    }
}

TEST(Conversions, GrayBmpToJpegWritesWhatCjpegWrites)
{
    const std::string cjpeg = test::findTool({"cjpeg"});
    if (cjpeg.empty())
        GTEST_SKIP() << "cjpeg (libjpeg-turbo-progs) is not installed";
    TempFolder folder;
    test::BmpRecipe gray = test::photoLike(80, 60);
    gray.bitCount = 8;
    for (int i = 0; i < 256; ++i)
        gray.palette.push_back(
            {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i)});
    gray.pixel = [](int x, int y) { return static_cast<std::uint32_t>((x * 3 + y * 2) % 256); };
    const std::string bmp = writeBmp(folder, "gray.bmp", gray);
    for (std::int32_t rate : {10, 75}) {
        SCOPED_TRACE(rate);
        ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("ours.jpg").c_str(), &rate), CONVERT_OK);
        ASSERT_TRUE(test::run(test::quoted(cjpeg) + " -quality " + std::to_string(rate) + " -outfile " +
                              test::quoted(folder.file("theirs.jpg")) + " " + test::quoted(bmp)));
        EXPECT_EQ(test::readBytes(folder.file("ours.jpg")), test::readBytes(folder.file("theirs.jpg")));
    }
}

TEST(Conversions, JpegToBmpDecodesAsDjpegDoes)
{
    const std::string djpeg = test::findTool({"djpeg"});
    if (djpeg.empty())
        GTEST_SKIP() << "djpeg (libjpeg-turbo-progs) is not installed";
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(131, 97));
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("in.jpg").c_str(), nullptr), CONVERT_OK);
    ASSERT_EQ(jpgtobmp(folder.file("in.jpg").c_str(), folder.file("ours.bmp").c_str()), CONVERT_OK);
    ASSERT_TRUE(test::run(test::quoted(djpeg) + " -bmp -outfile " + test::quoted(folder.file("theirs.bmp")) +
                          " " + test::quoted(folder.file("in.jpg"))));
    const auto ours = test::decodeToRgb(test::readBytes(folder.file("ours.bmp")));
    const auto theirs = test::decodeToRgb(test::readBytes(folder.file("theirs.bmp")));
    ASSERT_TRUE(ours && theirs);
    EXPECT_EQ(test::difference(*ours, *theirs).largest, 0);
}

TEST(Conversions, CmykJpegIsConvertedToRgb)
{
    const std::string magick = test::imageMagick();
    if (magick.empty())
        GTEST_SKIP() << "ImageMagick is not installed";
    TempFolder folder;
    const std::string cmyk = folder.file("cmyk.jpg");
    ASSERT_TRUE(test::run(test::quoted(magick) +
                          " -size 40x30 -seed 3 plasma:fractal -colorspace CMYK -quality 95 " +
                          test::quoted(cmyk)));
    ASSERT_EQ(jpgtobmp(cmyk.c_str(), folder.file("out.bmp").c_str()), CONVERT_OK);
    const auto ours = test::decodeToRgb(test::readBytes(folder.file("out.bmp")));
    ASSERT_TRUE(ours);
    const auto theirs = test::imageMagickRgb(magick, cmyk, 40, 30);
    ASSERT_TRUE(theirs);
    EXPECT_LE(test::difference(*ours, *theirs).largest, 2);
}

TEST(Conversions, ExistingDestinationIsReplacedWholeAndSourceMayBeTheDestination)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(30, 20));
    const std::string jpg = folder.write("out.jpg", std::as_bytes(std::span("old content", 11)));
    ASSERT_EQ(bmptojpg(bmp.c_str(), jpg.c_str(), nullptr), CONVERT_OK);
    EXPECT_TRUE(probeJpeg(test::readBytes(jpg)));
    ASSERT_EQ(jpgtojpg(jpg.c_str(), jpg.c_str(), nullptr), CONVERT_OK);
    EXPECT_TRUE(probeJpeg(test::readBytes(jpg)));
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++files;
    EXPECT_EQ(files, 2); // no temporary file left behind
}

// --- Failures: each reported with its status, nothing written ---

TEST(Conversions, MissingSourceIsReported)
{
    TempFolder folder;
    EXPECT_EQ(bmptojpg(folder.file("none.bmp").c_str(), folder.file("o.jpg").c_str(), nullptr),
              CONVERT_SOURCE_MISSING);
    EXPECT_EQ(jpgtobmp(folder.file("none/x.jpg").c_str(), folder.file("o.bmp").c_str()),
              CONVERT_SOURCE_MISSING);
    EXPECT_EQ(jpgtojpg("", folder.file("o.jpg").c_str(), nullptr), CONVERT_SOURCE_MISSING);
    EXPECT_FALSE(std::filesystem::exists(folder.file("o.jpg")));
}

TEST(Conversions, FolderOrFifoAsSourceIsRefusedWithoutBlocking)
{
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(bmptojpg(folder.file("fifo").c_str(), folder.file("o.jpg").c_str(), nullptr),
              CONVERT_SOURCE_UNREADABLE);
    EXPECT_EQ(jpgtobmp(folder.path().c_str(), folder.file("o.bmp").c_str()), CONVERT_SOURCE_UNREADABLE);
}

TEST(Conversions, WrongKindOfSourceIsNamed)
{
    TempFolder folder;
    const std::string text = folder.write("notes.txt", std::as_bytes(std::span("just some text", 14)));
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(20, 10));
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("in").c_str(), nullptr), CONVERT_OK);
    const std::string jpg = folder.file("in");
    EXPECT_EQ(bmptojpg(text.c_str(), folder.file("o.jpg").c_str(), nullptr), CONVERT_NOT_BMP);
    EXPECT_EQ(bmptojpg(jpg.c_str(), folder.file("o.jpg").c_str(), nullptr), CONVERT_NOT_BMP);
    EXPECT_EQ(jpgtobmp(text.c_str(), folder.file("o.bmp").c_str()), CONVERT_NOT_JPEG);
    EXPECT_EQ(jpgtobmp(bmp.c_str(), folder.file("o.bmp").c_str()), CONVERT_NOT_JPEG);
    EXPECT_EQ(jpgtojpg(bmp.c_str(), folder.file("o.jpg").c_str(), nullptr), CONVERT_NOT_JPEG);
}

TEST(Conversions, DamagedJpegIsRefused)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(64, 64));
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("in.jpg").c_str(), nullptr), CONVERT_OK);
    const auto jpeg = test::readBytes(folder.file("in.jpg"));

    // The header cut: nothing to decode.
    const std::string headerOnly = folder.write("cut.jpg", std::span(jpeg).first(40));
    EXPECT_EQ(jpgtobmp(headerOnly.c_str(), folder.file("o.bmp").c_str()), CONVERT_DAMAGED);
    EXPECT_FALSE(std::filesystem::exists(folder.file("o.bmp")));
}

TEST(Conversions, TruncatedJpegScanIsDamagedAndWritesNothing)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(64, 64));
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("in.jpg").c_str(), nullptr), CONVERT_OK);
    const auto jpeg = test::readBytes(folder.file("in.jpg"));

    // The scan cut in half: libjpeg warns "premature end of data" and would
    // paint the missing half gray.
    std::size_t scan = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size() && !scan; ++i)
        if (jpeg[i] == std::byte{0xFF} && jpeg[i + 1] == std::byte{0xDA})
            scan = i;
    ASSERT_GT(scan, 0u);
    const std::string half = folder.write("half.jpg", std::span(jpeg).first(scan + (jpeg.size() - scan) / 2));
    EXPECT_EQ(jpgtobmp(half.c_str(), folder.file("half.bmp").c_str()), CONVERT_DAMAGED);
    EXPECT_EQ(jpgtojpg(half.c_str(), folder.file("half.jpg.jpg").c_str(), nullptr), CONVERT_DAMAGED);
    EXPECT_FALSE(std::filesystem::exists(folder.file("half.bmp")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("half.jpg.jpg")));
    EXPECT_STREQ(convert_strerror(CONVERT_DAMAGED), "source file is damaged");
}

TEST(Conversions, StrayBytesBetweenJpegSegmentsAreDamage)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(64, 64));
    ASSERT_EQ(bmptojpg(bmp.c_str(), folder.file("in.jpg").c_str(), nullptr), CONVERT_OK);
    auto jpeg = test::readBytes(folder.file("in.jpg"));
    // Bytes before the start-of-scan marker: libjpeg warns of "extraneous
    // bytes before marker" and decodes on.
    std::size_t scan = 0;
    for (std::size_t i = 0; i + 1 < jpeg.size() && !scan; ++i)
        if (jpeg[i] == std::byte{0xFF} && jpeg[i + 1] == std::byte{0xDA})
            scan = i;
    ASSERT_GT(scan, 0u);
    const std::array stray{std::byte{0x12}, std::byte{0x34}, std::byte{0x56}};
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(scan), stray.begin(), stray.end());
    const std::string file = folder.write("stray.jpg", jpeg);
    EXPECT_EQ(jpgtobmp(file.c_str(), folder.file("o.bmp").c_str()), CONVERT_DAMAGED);
    EXPECT_FALSE(std::filesystem::exists(folder.file("o.bmp")));
}

TEST(Conversions, DestinationFailuresAreToldApart)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(20, 10));
    EXPECT_EQ(bmptojpg(bmp.c_str(), folder.file("no/such/folder/o.jpg").c_str(), nullptr),
              CONVERT_DESTINATION_NO_FOLDER);
    ASSERT_TRUE(std::filesystem::create_directory(folder.file("taken.jpg")));
    EXPECT_EQ(bmptojpg(bmp.c_str(), folder.file("taken.jpg").c_str(), nullptr), CONVERT_DESTINATION_FAILED);
    EXPECT_EQ(bmptojpg(bmp.c_str(), "", nullptr), CONVERT_DESTINATION_FAILED);
}

TEST(Conversions, WriteErrorsMapToTheirStatus)
{
    TempFolder folder;
    const std::string inFolder = folder.file("o.jpg");
    const std::string inNoFolder = folder.file("gone/o.jpg");
    EXPECT_EQ(destinationStatus(writeProblemOf(ENOENT, inNoFolder)), ConvertStatus::DestinationNoFolder);
    EXPECT_EQ(destinationStatus(writeProblemOf(ENOTDIR, inNoFolder)), ConvertStatus::DestinationNoFolder);
    EXPECT_EQ(destinationStatus(writeProblemOf(ENOENT, inFolder)), ConvertStatus::DestinationFailed);
    EXPECT_EQ(destinationStatus(writeProblemOf(EACCES, inFolder)), ConvertStatus::DestinationDenied);
    EXPECT_EQ(destinationStatus(writeProblemOf(EROFS, inFolder)), ConvertStatus::DestinationDenied);
    EXPECT_EQ(destinationStatus(writeProblemOf(ENOSPC, inFolder)), ConvertStatus::DestinationFull);
    EXPECT_EQ(destinationStatus(writeProblemOf(EDQUOT, inFolder)), ConvertStatus::DestinationFull);
    EXPECT_EQ(destinationStatus(writeProblemOf(EISDIR, inFolder)), ConvertStatus::DestinationFailed);
    EXPECT_EQ(destinationStatus(writeProblemOf(EIO, inFolder)), ConvertStatus::DestinationFailed);
}

TEST(Conversions, FolderThatTakesNoNewFilesIsNotAMissingFolder)
{
    // /proc exists, but refuses to create files with ENOENT.
    if (!std::filesystem::is_directory("/proc/self"))
        GTEST_SKIP() << "no /proc";
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(20, 10));
    EXPECT_EQ(bmptojpg(bmp.c_str(), "/proc/glimmerbox-test.jpg", nullptr), CONVERT_DESTINATION_FAILED);
}

TEST(Conversions, WriteProtectedFolderIsDenied)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(20, 10));
    ASSERT_TRUE(std::filesystem::create_directory(folder.file("ro")));
    ASSERT_EQ(::chmod(folder.file("ro").c_str(), 0500), 0);
    const int status = test::asUnprivilegedUser(
        folder.path(), [&] { return bmptojpg(bmp.c_str(), folder.file("ro/o.jpg").c_str(), nullptr); });
    EXPECT_EQ(status, CONVERT_DESTINATION_DENIED);
    ::chmod(folder.file("ro").c_str(), 0700);
}

TEST(Conversions, NullPathsAreBadArguments)
{
    EXPECT_EQ(bmptojpg(nullptr, "x.jpg", nullptr), CONVERT_BAD_ARGUMENT);
    EXPECT_EQ(jpgtobmp("x.jpg", nullptr), CONVERT_BAD_ARGUMENT);
    EXPECT_EQ(jpgtojpg(nullptr, nullptr, nullptr), CONVERT_BAD_ARGUMENT);
}

TEST(Conversions, TooLargeForTheLimitsIsReported)
{
    TempFolder folder;
    const std::string bmp = writeBmp(folder, "in.bmp", test::photoLike(100, 100));
    CodecLimits limits;
    limits.maxPixels = 9999;
    EXPECT_EQ(bmpToJpeg(bmp.c_str(), folder.file("o.jpg").c_str(), nullptr, limits), ConvertStatus::TooLarge);
    limits = {};
    limits.maxFileBytes = 100;
    EXPECT_EQ(bmpToJpeg(bmp.c_str(), folder.file("o.jpg").c_str(), nullptr, limits), ConvertStatus::TooLarge);
    // JPEG's own limit: no side beyond 65,500 pixels.
    test::BmpRecipe wide;
    wide.width = 65501;
    wide.height = 1;
    wide.pixel = [](int, int) { return 0u; };
    EXPECT_EQ(bmptojpg(writeBmp(folder, "wide.bmp", wide).c_str(), folder.file("w.jpg").c_str(), nullptr),
              CONVERT_TOO_LARGE);
}

// An RLE8 bitmap 1 pixel wide and `height` high whose 600 KB of runs all
// paint its bottom row, then end inside a run: damaged, but only to a
// reader that decodes the runs.
std::vector<std::byte> tallRle8(std::uint32_t height)
{
    test::BmpRecipe r;
    r.width = 1;
    r.height = 1;
    r.bitCount = 8;
    r.compression = 1;
    r.palette = test::colourPalette(4);
    r.pixel = [](int, int) { return 1u; };
    auto file = test::buildBmp(r);
    file.resize(14 + 40 + 4 * 4); // the headers and the palette
    for (std::size_t i = 0; i < 4; ++i)
        file[22 + i] = static_cast<std::byte>(height >> (8 * i));
    for (int run = 0; run < 299'999; ++run)
        file.insert(file.end(), {std::byte{1}, std::byte{2}});
    file.push_back(std::byte{1}); // a run without its colour
    return file;
}

TEST(Conversions, BitmapTallerThanJpegAllowsIsRefusedBeforeItIsDecoded)
{
    // 1 x 2^27 pixels is within the pixel limit, and 600 KB of runs could
    // hold them, but no JPEG is 2^27 rows high. Decoded first, it once cost
    // 278 MB before the encoder said so.
    const auto tall = tallRle8(1u << 27);
    ASSERT_GT(tall.size(), 590'000u);
    const auto jpeg = bmpBytesToJpeg(tall, 75);
    ASSERT_FALSE(jpeg);
    EXPECT_EQ(jpeg.error().status, ConvertStatus::TooLarge);
    // Had it been decoded, it would have been refused as damaged: the same
    // runs over a picture JPEG can hold are.
    EXPECT_EQ(bmpBytesToJpeg(tallRle8(4096), 75).error().status, ConvertStatus::Damaged);
}

TEST(Conversions, EveryStatusHasAText)
{
    for (int status = -1; status <= CONVERT_INTERNAL_ERROR + 1; ++status) {
        ASSERT_NE(convert_strerror(status), nullptr);
        EXPECT_STRNE(convert_strerror(status), "");
    }
    EXPECT_STREQ(convert_strerror(CONVERT_NOT_JPEG), "source is not a JPEG file");
}

} // namespace
} // namespace gb::convert

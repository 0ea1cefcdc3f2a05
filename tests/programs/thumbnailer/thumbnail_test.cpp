#include "programs/thumbnailer/thumbnail.h"
#include "programs/thumbnailer/thumbnailer_args.h"

#include "programs/thumbnailer/stored_png.h"

#include "core/icons/icon_source.h"
#include "core/icons/png_decoder.h"
#include "core/paths/path_lookup.h"
#include "fixtures/fixture_facts.h"
#include "support/ico_images.h"
#include "support/open_watch.h"
#include "support/shell_link_builder.h"
#include "support/temp_folder.h"
#include "support/wine_prefix_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

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
    std::ostringstream out;
    const int status = runThumbnailer(args, out, stream);
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

// The x-large and xx-large sizes from a 1024x1024 image, never blown up past it.
TEST(Thumbnailer, LargestSizesComeFromTheLargestStoredImage)
{
    TempFolder folder;
    const Rgba blue{20, 40, 200, 255}, red{200, 20, 20, 255};
    const std::string ico = folder.write(
        "huge.ico", test::icoOfImages({test::solidImage(32, red), test::solidImage(1024, blue)}));
    for (const auto& [asked, side] : {std::pair{512, 512}, {1024, 1024}, {4096, 1024}}) {
        const std::string out = folder.file("thumb.png");
        ASSERT_EQ(run({"-s", std::to_string(asked), ico, out}), 0) << asked;
        const RgbaImage image = decodeThumbnail(out);
        ASSERT_EQ(image.width(), side) << asked;
        EXPECT_EQ(image.at(side / 2, side / 2), blue) << asked;
    }
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

TEST(Thumbnailer, ShortcutShowsTheIconItNamesInItsPrefix)
{
    TempFolder folder;
    test::makeWinePrefix(folder.path() / "prefix");
    test::ShortcutRecipe recipe;
    recipe.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
    recipe.iconLocation = "%ProgramFiles%\\FIXTURE\\app.exe";
    recipe.iconIndex = -40; // the group of id 40: one 48x48 image
    const std::string lnk = folder.write("prefix/drive_c/users/Public/App.lnk", test::buildShortcut(recipe));
    const auto thumbnail = makeThumbnail(lnk, 256);
    ASSERT_TRUE(thumbnail) << thumbnail.error();
    EXPECT_EQ(thumbnail->width, 48);
}

std::expected<Thumbnail, std::string> shortcutThumbnail(const TempFolder& folder, const std::string& name,
                                                        const test::ShortcutRecipe& recipe)
{
    return makeThumbnail(folder.write(name, test::buildShortcut(recipe)), 256);
}

// As many ".." as take the folder up to the root.
std::string climbToRoot(const std::filesystem::path& folder)
{
    std::string climb;
    for (const char c : folder.lexically_normal().string())
        if (c == '/')
            climb += "..\\";
    return climb;
}

std::string windowsForm(std::string path)
{
    std::ranges::replace(path, '/', '\\');
    return path;
}

// A file manager asks for a thumbnail of every shortcut it shows, downloads
// included: a shortcut naming a device (a terminal, a serial port whose DTR
// pulse resets the board on it) or a FIFO gets no thumbnail, and what it
// names is never opened.
TEST(Thumbnailer, ShortcutToADeviceIsNeverOpened)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    const std::string fifo = prefix + "/drive_c/Program Files/Fixture/Pipe.exe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", prefix + "/drive_c/tty.ico");
    std::filesystem::create_symlink("Pipe.exe", prefix + "/drive_c/Program Files/Fixture/PipeLink.exe");
    std::filesystem::create_directory_symlink("/", prefix + "/dosdevices/z:");
    test::OpenWatch watch(fifo);
    ASSERT_TRUE(watch.watching());
    const std::string shortcuts = "prefix/drive_c/users/Public/";
    const std::string climb = climbToRoot(folder.path() / "prefix/drive_c/users/Public");

    const auto withIcon = [](const std::string& icon) {
        test::ShortcutRecipe recipe;
        recipe.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
        recipe.iconLocation = icon;
        return recipe;
    };
    test::ShortcutRecipe toFifo;
    toFifo.relativePath = "..\\..\\Program Files\\FIXTURE\\pipe.exe";
    const std::pair<test::ShortcutRecipe, std::string> cases[] = {
        {withIcon("C:\\Program Files\\Fixture\\PIPE.EXE"), "never opened"},
        {withIcon("%SystemDrive%\\TTY.ICO"), "leads out of the shortcut's prefix"}, // a link to /dev/null
        {withIcon("C:\\Program Files\\Fixture\\PipeLink.exe"), "never opened"},
        {withIcon(climb + "dev\\ptmx"), "leads out of the shortcut's prefix"},
        {withIcon("Z:\\dev\\ptmx"), "never opened"}, // the prefix's own drive, to a device still
        {withIcon("Z:" + windowsForm(fifo)), "never opened"},
        {toFifo, "never opened"},
    };
    int each = 0;
    for (const auto& [recipe, reason] : cases) {
        const auto thumbnail = shortcutThumbnail(folder, shortcuts + std::to_string(each++) + ".lnk", recipe);
        ASSERT_FALSE(thumbnail) << each;
        EXPECT_NE(thumbnail.error().find(reason), std::string::npos) << thumbnail.error();
    }
    EXPECT_EQ(watch.opens(), 0);
}

// The thumbnailer keeps to the shortcut's prefix (its own folder without
// one), and leaves it only through a drive of the prefix.
TEST(Thumbnailer, ShortcutPathLeavingItsPrefixIsRefused)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    std::filesystem::create_directories(folder.path() / "outside");
    std::filesystem::create_directories(folder.path() / "loose");
    std::filesystem::copy_file(fixture("mixed_depths.ico"), folder.path() / "outside" / "Own.ico");
    std::filesystem::copy_file(fixture("mixed_depths.ico"), folder.path() / "loose" / "Own.ico");
    std::filesystem::create_directory_symlink("../../outside", prefix + "/drive_c/Out");
    std::filesystem::create_directory_symlink(folder.path() / "outside", prefix + "/dosdevices/d:");
    const auto withIcon = [](const std::string& icon) {
        test::ShortcutRecipe recipe;
        recipe.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
        recipe.iconLocation = icon;
        return recipe;
    };
    const std::string inPrefix = "prefix/drive_c/users/Public/";
    const std::pair<std::string, test::ShortcutRecipe> refused[] = {
        {inPrefix + "climb.lnk", withIcon("..\\..\\..\\..\\outside\\own.ico")},
        {inPrefix + "link.lnk", withIcon("C:\\out\\own.ico")},
        {"loose/climb.lnk", withIcon("..\\outside\\own.ico")},
    };
    for (const auto& [name, recipe] : refused) {
        const auto thumbnail = shortcutThumbnail(folder, name, recipe);
        ASSERT_FALSE(thumbnail) << name;
        EXPECT_NE(thumbnail.error().find("leads out of the"), std::string::npos) << thumbnail.error();
    }
    const std::pair<std::string, test::ShortcutRecipe> found[] = {
        {inPrefix + "drive.lnk", withIcon("D:\\OWN.ico")}, // a drive of the prefix leads out
        {"loose/beside.lnk", withIcon("OWN.ICO")},
        {inPrefix + "own.lnk", withIcon("..\\..\\PROGRAM FILES\\fixture\\app.exe")},
    };
    for (const auto& [name, recipe] : found) {
        const auto thumbnail = shortcutThumbnail(folder, name, recipe);
        EXPECT_TRUE(thumbnail) << name << ": " << thumbnail.error();
    }
}

// An icon path of thousands of "%x%" in a prefix whose drive_c holds many
// files (an unpacked download can look so) costs no listing per variable.
TEST(Thumbnailer, ShortcutWithThousandsOfVariablesFinishesPromptly)
{
    TempFolder folder;
    const std::string prefix = test::makeWinePrefix(folder.path() / "prefix");
    for (int i = 0; i < 2000; ++i)
        std::ofstream(prefix + "/drive_c/file" + std::to_string(i) + ".txt");
    const struct {
        const char* start;
        int times;
        const char* reason;
    } cases[] = {
        {"", 21845, "longer than the 32767 characters"}, // the most a shortcut's string holds
        {"C:\\", 10000, "Wine does not set the variable %x%"},
    };
    for (const auto& each : cases) {
        test::ShortcutRecipe recipe;
        recipe.localBasePath = "C:\\Program Files\\Fixture\\App.exe";
        recipe.iconLocation = each.start;
        for (int i = 0; i < each.times; ++i)
            *recipe.iconLocation += "%x%";
        const std::uint64_t before = folderListingsOnThisThread();
        const auto thumbnail = shortcutThumbnail(folder, "prefix/drive_c/users/Public/App.lnk", recipe);
        EXPECT_LE(folderListingsOnThisThread() - before, 4u) << each.times;
        ASSERT_FALSE(thumbnail);
        EXPECT_NE(thumbnail.error().find(each.reason), std::string::npos) << thumbnail.error().substr(0, 200);
    }
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

// The bytes of mixed_depths.ico, and where its 256x256 PNG entry lies in them.
struct IcoWithPng {
    std::string bytes;
    std::size_t pngOffset = 0, pngSize = 0;
    std::string png() const { return bytes.substr(pngOffset, pngSize); }
};

IcoWithPng mixedDepthsIco()
{
    IcoWithPng ico{test::readText(fixture("mixed_depths.ico"))};
    const auto source = IconSource::open(fixture("mixed_depths.ico"));
    const auto group = source->group(0);
    for (const GroupEntry& entry : group->entries)
        if (entry.image && hasPngSignature(*entry.image)) {
            ico.pngOffset = entry.imageOffset;
            ico.pngSize = entry.image->size();
        }
    return ico;
}

// An ICO file holding only the given PNG image.
std::string icoOfOnePng(const std::string& png)
{
    std::string ico("\0\0\1\0\1\0", 6);
    std::string entry(16, '\0');
    entry[4] = 1;  // planes
    entry[6] = 32; // bits a pixel
    constexpr std::size_t kImageStart = 6 + 16;
    for (std::size_t i = 0; i < 4; ++i) {
        entry[8 + i] = static_cast<char>((png.size() >> (8 * i)) & 0xff);
        entry[12 + i] = static_cast<char>((kImageStart >> (8 * i)) & 0xff);
    }
    return ico + entry + png;
}

std::span<const std::byte> bytesOf(const std::string& text)
{
    return std::as_bytes(std::span(text));
}

TEST(Thumbnailer, StoredPngOfTheSizeAskedIsWrittenAsItIs)
{
    const IcoWithPng ico = mixedDepthsIco();
    ASSERT_GT(ico.pngSize, 0u);
    TempFolder folder;
    const std::string out = folder.file("thumb.png");
    ASSERT_EQ(run({"-s", "256", fixture("mixed_depths.ico"), out}), 0);
    EXPECT_EQ(test::readText(out), ico.png());
}

// How a stored PNG is broken, keeping its signature and IHDR.
enum class Damage { ScrambledImageData, CutAfterHeader };

std::string damaged(std::string png, Damage damage)
{
    constexpr std::size_t kAfterIhdr = 33;
    if (damage == Damage::CutAfterHeader)
        return png.substr(0, kAfterIhdr);
    std::fill(png.begin() + kAfterIhdr + 8, png.end() - 12, '\x5a');
    return png;
}

class DamagedStoredPng : public testing::TestWithParam<Damage> {};

TEST_P(DamagedStoredPng, GivesWayToTheNextBestImage)
{
    IcoWithPng ico = mixedDepthsIco();
    ASSERT_GT(ico.pngSize, 0u);
    // Scrambling keeps the entry's size; a cut one is padded back to it.
    std::string broken = damaged(ico.png(), GetParam());
    broken.resize(ico.pngSize, '\0');
    ico.bytes.replace(ico.pngOffset, ico.pngSize, broken);
    TempFolder folder;
    const std::string out = folder.file("thumb.png");
    ASSERT_EQ(run({"-s", "256", folder.write("broken.ico", bytesOf(ico.bytes)), out}), 0);
    const RgbaImage image = decodeThumbnail(out);
    ASSERT_EQ(image.width(), 48);
    EXPECT_EQ(image.at(36, 36), bodyOf(gbfix::mix_48_8));
}

TEST_P(DamagedStoredPng, AloneExitsOneAndWritesNothing)
{
    const std::string ico = icoOfOnePng(damaged(mixedDepthsIco().png(), GetParam()));
    TempFolder folder;
    const std::string input = folder.write("broken.ico", bytesOf(ico));
    EXPECT_EQ(run({"-s", "256", input, folder.file("thumb.png")}), 1);
    EXPECT_EQ(filesIn(folder.path()), 1u); // the input alone
}

INSTANTIATE_TEST_SUITE_P(Thumbnailer, DamagedStoredPng,
                         testing::Values(Damage::ScrambledImageData, Damage::CutAfterHeader));

// A PNG of the chunks named, each with the data given (CRCs are not read).
std::string pngOfChunks(const std::vector<std::pair<std::string, std::string>>& chunks)
{
    std::string png("\x89PNG\r\n\x1a\n", 8);
    for (const auto& [type, data] : chunks) {
        for (int shift = 24; shift >= 0; shift -= 8)
            png += static_cast<char>((data.size() >> shift) & 0xff);
        png += type + data + std::string(4, '\0');
    }
    return png;
}

std::string words(std::initializer_list<std::uint32_t> values)
{
    std::string bytes;
    for (const std::uint32_t value : values)
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += static_cast<char>((value >> shift) & 0xff);
    return bytes;
}

struct ChunkCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> extra; // between IHDR and IDAT
    int bitDepth;
    bool plain;
};

TEST(StoredPng, OnlyImagesAViewerShowsAsDrawnAreTakenAsTheyAre)
{
    const std::string srgbGamma = words({45455});
    const std::string srgbChromaticities = words({31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000});
    const std::vector<ChunkCase> cases = {
        {"bare", {}, 8, true},
        {"sRGB gamma and chromaticities", {{"gAMA", srgbGamma}, {"cHRM", srgbChromaticities}}, 8, true},
        {"notes", {{"tEXt", "Software\0x"}, {"pHYs", std::string(9, '\0')}, {"caNv", "x"}}, 8, true},
        {"linear gamma", {{"gAMA", words({100000})}}, 8, false},
        {"other chromaticities",
         {{"cHRM", words({31270, 32900, 64000, 33000, 30000, 60000, 15000, 6001})}},
         8,
         false},
        {"colour profile", {{"iCCP", "p\0\0x"}}, 8, false},
        {"animation", {{"acTL", words({2, 0})}}, 8, false},
        {"unknown critical chunk", {{"ABCD", ""}}, 8, false},
        {"16-bit samples", {}, 16, false},
    };
    for (const ChunkCase& c : cases) {
        std::vector<std::pair<std::string, std::string>> chunks = {
            {"IHDR", words({1, 1}) + std::string{static_cast<char>(c.bitDepth), 6, 0, 0, 0}}};
        chunks.insert(chunks.end(), c.extra.begin(), c.extra.end());
        chunks.push_back({"IDAT", "x"});
        chunks.push_back({"IEND", ""});
        const std::string png = pngOfChunks(chunks) + "trailing bytes";
        const auto plain = plainPngBytes(ByteReader(bytesOf(png)));
        EXPECT_EQ(plain.has_value(), c.plain) << c.name;
        if (plain) {
            EXPECT_EQ(plain->size(), png.size() - std::string("trailing bytes").size()) << c.name;
        }
    }
}

TEST(StoredPng, ChunkListWithoutItsEndIsNotTakenAsItIs)
{
    const std::string ihdr = words({1, 1}) + std::string{8, 6, 0, 0, 0};
    const std::string whole = pngOfChunks({{"IHDR", ihdr}, {"IDAT", "x"}, {"IEND", ""}});
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        EXPECT_FALSE(plainPngBytes(ByteReader(bytesOf(whole.substr(0, cut))))) << cut;
    EXPECT_FALSE(plainPngBytes(ByteReader(bytesOf(pngOfChunks({{"IDAT", "x"}, {"IEND", ""}})))));
}

TEST(ThumbnailerArguments, SizeFaultsAreNamedForWhatTheyAre)
{
    const std::pair<const char*, const char*> faults[] = {
        {"99999999999", "SIZE 99999999999 is out of range: 1 to 2147483647 pixels"},
        {"-99999999999", "SIZE -99999999999 is out of range: 1 to 2147483647 pixels"},
        {"2147483648", "SIZE 2147483648 is out of range: 1 to 2147483647 pixels"},
        {"12px", "SIZE must be a whole number of pixels, at least 1"},
        {"0", "SIZE must be a whole number of pixels, at least 1"},
        {"", "SIZE must be a whole number of pixels, at least 1"},
    };
    for (const auto& [size, message] : faults) {
        const std::vector<std::string> args{"-s", size, "in.exe", "out.png"};
        const auto request = parseArguments(args);
        ASSERT_FALSE(request) << size;
        EXPECT_EQ(request.error(), message);
    }
    // The largest int is a size like any above the largest thumbnail.
    const std::vector<std::string> largest{"-s", "2147483647", "in.exe", "out.png"};
    EXPECT_EQ(parseArguments(largest)->size, kLargestThumbnail);
}

TEST(ThumbnailerArguments, HelpAndVersionWinWhereverTheyStand)
{
    using Action = Request::Action;
    const std::pair<std::vector<std::string>, Action> cases[] = {
        {{"--help"}, Action::Help},
        {{"-h"}, Action::Help},
        {{"--version"}, Action::Version},
        {{"-s", "64", "--version"}, Action::Version},
        {{"-s", "bad", "--help"}, Action::Help},
        {{"--version", "--help"}, Action::Version},
        {{"-s", "64", "in.exe", "out.png"}, Action::Thumbnail},
    };
    for (const auto& [args, action] : cases) {
        const auto request = parseArguments(args);
        ASSERT_TRUE(request) << args.back();
        EXPECT_EQ(request->action, action) << args.back();
    }
}

TEST(ThumbnailerArguments, HelpAndVersionPrintToStandardOutputAndSucceed)
{
    for (const auto& [option, text] :
         {std::pair{"--help", usageText()}, std::pair{"--version", versionText()}}) {
        const std::vector<std::string> args{option};
        std::ostringstream out, err;
        EXPECT_EQ(runThumbnailer(args, out, err), 0) << option;
        EXPECT_EQ(out.str(), text);
        EXPECT_TRUE(err.str().empty());
    }
    EXPECT_EQ(versionText(), std::string("glimmerbox-thumbnailer ") + GB_PROJECT_VERSION + "\n");
}

TEST(ThumbnailerArguments, PlainPathKeepsItsPercentSigns)
{
    EXPECT_EQ(localPathOf("/tmp/100%20.exe"), "/tmp/100%20.exe");
    EXPECT_EQ(localPathOf("file://localhost/tmp/a%20b.exe"), "/tmp/a b.exe");
    EXPECT_EQ(localPathOf("FILE:///tmp/%E4%B8%AD.exe"), "/tmp/\xE4\xB8\xAD.exe");
}

} // namespace
} // namespace gb::thumbnailer

// Crafted files that once cost gigabytes, hours or a crash: each is read in
// bounded work and memory now. One test per fault, the file made here.

#include "core/bytes/byte_source.h"
#include "core/icons/decode_memo.h"
#include "core/icons/dib_decoder.h"
#include "core/icons/icon_source.h"
#include "core/imagefiles/ico_writer.h"
#include "core/imagefiles/png_writer.h"
#include "support/hostile_builders.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace gb {
namespace {

using test::buildPe;
using test::Bytes;
using test::PeRecipe;
using test::put16;
using test::put32;
using test::SparseSource;

Bytes solidDib(int width, int height)
{
    test::DibRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    recipe.pixel = [](int, int) { return 0xff2040c0u; };
    return test::buildDib(recipe);
}

RgbaImage solidImage(int width, int height)
{
    RgbaImage image(width, height);
    for (Rgba& p : image.pixels())
        p = Rgba{32, 64, 192, 255};
    return image;
}

// An ICO directory whose entries all claim `claimed` bytes at `offset`.
Bytes icoDirectory(int entries, std::uint32_t claimed, std::uint32_t offset, int side = 32)
{
    Bytes out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(entries));
    for (int i = 0; i < entries; ++i) {
        test::putSides(out, side);
        put16(out, 1);
        put16(out, 32);
        put32(out, claimed);
        put32(out, offset);
    }
    return out;
}

std::uint32_t crc32(std::span<const std::byte> bytes)
{
    std::uint32_t crc = 0xffffffffu;
    for (const std::byte b : bytes) {
        crc ^= static_cast<std::uint8_t>(b);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG with a tEXt chunk inserted after its header for each text.
Bytes pngWithTexts(const RgbaImage& image, const std::vector<std::string>& texts)
{
    Bytes png = *encodePng(image);
    constexpr std::size_t kAfterIhdr = 8 + 25;
    Bytes chunks;
    for (const std::string& text : texts) {
        Bytes body;
        for (const char c : std::string("Comment"))
            body.push_back(static_cast<std::byte>(c));
        body.push_back(std::byte{0});
        for (const char c : text)
            body.push_back(static_cast<std::byte>(c));
        Bytes typed{std::byte{'t'}, std::byte{'E'}, std::byte{'X'}, std::byte{'t'}};
        typed.insert(typed.end(), body.begin(), body.end());
        for (int i = 3; i >= 0; --i)
            chunks.push_back(static_cast<std::byte>(body.size() >> (8 * i)));
        chunks.insert(chunks.end(), typed.begin(), typed.end());
        const std::uint32_t crc = crc32(typed);
        for (int i = 3; i >= 0; --i)
            chunks.push_back(static_cast<std::byte>(crc >> (8 * i)));
    }
    png.insert(png.begin() + kAfterIhdr, chunks.begin(), chunks.end());
    return png;
}

// An ICO file of one image declared 256 x 256, whatever its real size.
Bytes icoOfOne(const Bytes& image)
{
    Bytes out = icoDirectory(1, static_cast<std::uint32_t>(image.size()), 22, 256);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

const std::uint64_t kDib32Length = *dibLength(ByteReader(solidDib(32, 32)));

struct ClaimCase {
    const char* name;
    std::function<std::unique_ptr<ByteSource>()> file;
};

TEST(HostileFiles, ClaimsBeyondAnImageAreNotCopied)
{
    const ClaimCase cases[] = {
        {"4 GiB sparse ICO, two entries of 0xFFFFFF00 bytes",
         [] {
             auto file = std::make_unique<SparseSource>(0x100000100ull);
             file->place(0, icoDirectory(2, 0xFFFFFF00u, 0x100)).place(0x100, solidDib(32, 32));
             return file;
         }},
        {"PE whose icon and group claim 0xE0000000 bytes",
         [] {
             PeRecipe pe;
             pe.blobs = {{solidDib(32, 32), 0xE0000000u}, {test::groupDirectory(1, 1, 32), 0xE0000000u}};
             pe.icons = {{1, 0}};
             pe.groups = {{1, 1}};
             pe.extraRaw = 0xE0000000u;
             const Bytes head = buildPe(pe);
             auto file = std::make_unique<SparseSource>(head.size() + 0xE0000000ull);
             file->place(0, head);
             return file;
         }},
        {"NE of alignment shift 24",
         [] {
             auto file = std::make_unique<SparseSource>(3ull << 24);
             file->place(0, test::buildNe(24, 1, 2, 1))
                 .place(1ull << 24, test::groupDirectory(1, 1, 32))
                 .place(2ull << 24, solidDib(32, 32));
             return file;
         }},
    };
    for (const ClaimCase& c : cases) {
        SCOPED_TRACE(c.name);
        const IconSource source = IconSource::fromSource(c.file());
        ASSERT_EQ(source.count(), 1);
        const auto group = source.group(0);
        ASSERT_TRUE(group);
        for (const GroupEntry& entry : group->entries) {
            ASSERT_TRUE(entry.image);
            EXPECT_EQ(entry.image->size(), kDib32Length);
        }
        const auto icon = source.icon(0);
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->largeEntry.label(), "32x32@32");
    }
}

TEST(HostileFiles, GroupOutlivesItsSource)
{
    const test::TempFolder folder;
    const std::string path = folder.write("app.ico", encodeIco(solidImage(32, 32)));
    std::optional<IconGroup> group;
    {
        auto source = IconSource::open(path);
        ASSERT_TRUE(source);
        group = *source->group(0);
    }
    const ExtractedIcon icon = extractIcon(*group);
    EXPECT_EQ(icon.largeEntry.label(), "32x32@32");
    EXPECT_EQ(icon.large.at(20, 20).b, 192);
}

// Groups sharing one directory of 1,024 entries that all name icon 1.
Bytes sharedDirectoryPe(const Bytes& image, int groups)
{
    PeRecipe pe;
    pe.blobs = {{image}, {test::groupDirectory(1024, 1, 256)}};
    pe.icons = {{1, 0}};
    for (int g = 0; g < groups; ++g)
        pe.groups.push_back({static_cast<std::uint16_t>(g + 1), 1});
    return buildPe(pe);
}

TEST(HostileFiles, ImageNamedByEveryEntryIsDecodedOnce)
{
    Bytes cut = *encodePng(solidImage(256, 256));
    cut.resize(60); // the header survives, the pixels do not
    const Bytes file = sharedDirectoryPe(cut, 50);
    const IconSource source = IconSource::fromBytes(ByteReader(file));
    ASSERT_EQ(source.count(), 50);
    for (int i = 0; i < source.count(); ++i) {
        const auto icon = source.icon(i);
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->largeEntry.label(), "none");
    }
    EXPECT_EQ(source.group(0)->memo->decodes(), 1u);
}

TEST(HostileFiles, OriginalGroupKeepsEachStoredImageOnce)
{
    const Bytes image = solidDib(64, 64);
    const Bytes file = sharedDirectoryPe(image, 4);
    const IconSource source = IconSource::fromBytes(ByteReader(file));
    ASSERT_EQ(source.count(), 4);
    const auto ico = encodeOriginalIco(*source.group(3));
    ASSERT_TRUE(ico);
    EXPECT_EQ(ByteReader(*ico).u16le(4), 1);
    EXPECT_EQ(ico->size(), 6 + 16 + image.size());
}

TEST(HostileFiles, EmptyTablesAreReadWithoutUndefinedBehaviour)
{
    PeRecipe noSections;
    noSections.sections = 0;
    PeRecipe emptyRoot;
    emptyRoot.emptyRoot = true;
    struct Case {
        const char* name;
        Bytes bytes;
        int count;
    };
    const Case cases[] = {
        {"PE of no sections", buildPe(noSections), 0},
        {"PE of an empty resource root", buildPe(emptyRoot), 0},
        // Its one group's data lie past the end: it counts and draws nothing.
        {"NE icon type of no records", test::buildNe(4, 0x20, 0x30, 1, 0), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IconSource::fromBytes(ByteReader(c.bytes)).count(), c.count);
        auto asFile = std::make_unique<SparseSource>(c.bytes.size());
        asFile->place(0, c.bytes);
        EXPECT_EQ(IconSource::fromSource(std::move(asFile)).count(), c.count);
    }
}

TEST(HostileFiles, PngEntryWithTextChunksIsDrawn)
{
    const Bytes png = pngWithTexts(solidImage(16, 16), {"made by hand", "second comment"});
    const auto icon = IconSource::fromBytes(ByteReader(icoOfOne(png))).icon(0);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->smallEntry.label(), "16x16@png");
}

TEST(HostileFiles, ImagesLargerThan256AreDrawn)
{
    const std::array<std::pair<Bytes, const char*>, 2> images{{
        {*encodePng(solidImage(194, 313)), "194x313@png"},
        {solidDib(194, 313), "194x313@32"},
    }};
    for (const auto& [image, label] : images) {
        SCOPED_TRACE(label);
        const Bytes file = icoOfOne(image);
        const auto icon = IconSource::fromBytes(ByteReader(file)).icon(0);
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->largeEntry.label(), label);
        EXPECT_EQ(icon->large.at(16, 16).b, 192);
    }
}

} // namespace
} // namespace gb

#include "programs/thumbnailer/stored_png.h"

#include "core/icons/png_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace gb::thumbnailer {

namespace {

constexpr std::uint64_t kSignatureSize = 8;
constexpr std::uint64_t kChunkFraming = 12; // length, type, CRC
constexpr std::uint64_t kIhdrBitDepth = 24; // the signature, IHDR's length and type, width, height

// gAMA and cHRM as sRGB states them (as ImageMagick writes them): a viewer
// that applies them draws what the engine, which ignores them, draws.
constexpr std::uint32_t kSrgbGamma = 45455;
constexpr std::array<std::uint32_t, 8> kSrgbChromaticities = {31270, 32900, 64000, 33000,
                                                              30000, 60000, 15000, 6000};

std::string_view nameOf(const ByteReader& type)
{
    return {reinterpret_cast<const char*>(type.bytes().data()), type.bytes().size()};
}

bool holdsWords(const ByteReader& data, std::span<const std::uint32_t> words)
{
    if (data.size() != words.size() * 4)
        return false;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (data.u32be(i * 4) != words[i])
            return false;
    return true;
}

// Whether a viewer shows the image as the engine draws it with this chunk
// present. Critical chunks (capital first letter) are the image itself;
// ancillary ones are notes a viewer may skip, except those that change the
// colours or make an animation.
bool drawsAsEngine(std::string_view name, const ByteReader& data)
{
    constexpr std::array<std::string_view, 4> kImage = {"IHDR", "PLTE", "IDAT", "IEND"};
    constexpr std::array<std::string_view, 4> kRedrawing = {"iCCP", "acTL", "fcTL", "fdAT"};
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (!std::ranges::all_of(name, isLetter))
        return false; // not a chunk: the list is broken
    if (name[0] >= 'A' && name[0] <= 'Z')
        return std::ranges::find(kImage, name) != kImage.end();
    if (name == "gAMA")
        return holdsWords(data, std::array{kSrgbGamma});
    if (name == "cHRM")
        return holdsWords(data, kSrgbChromaticities);
    return std::ranges::find(kRedrawing, name) == kRedrawing.end();
}

} // namespace

std::optional<std::span<const std::byte>> plainPngBytes(const ByteReader& png)
{
    if (!hasPngSignature(png))
        return std::nullopt;
    // 16-bit samples are drawn at 8 bits; a viewer may round them otherwise.
    const auto bitDepth = png.u8(kIhdrBitDepth);
    if (!bitDepth || *bitDepth > 8)
        return std::nullopt;
    std::uint64_t offset = kSignatureSize;
    for (bool first = true;; first = false) {
        const auto length = png.u32be(offset);
        const auto type = png.sub(offset + 4, 4);
        if (!length || !type || !png.fits(offset, kChunkFraming + *length))
            return std::nullopt;
        const std::string_view name = nameOf(*type);
        const ByteReader data = *png.sub(offset + 8, *length);
        if (first != (name == "IHDR") || !drawsAsEngine(name, data))
            return std::nullopt;
        offset += kChunkFraming + *length;
        if (name == "IEND")
            return png.bytes().first(offset);
    }
}

} // namespace gb::thumbnailer

#include "core/icons/png_decoder.h"

#include "core/icons/resample.h"

#include <algorithm>
#include <memory>
#include <spng.h>
#include <vector>

namespace gb {

namespace {

constexpr std::uint8_t kIhdr[] = {'I', 'H', 'D', 'R'};
constexpr std::uint64_t kIhdrType = 12; // after the signature and the chunk length
constexpr std::uint64_t kIhdrWidth = 16;
constexpr std::uint64_t kIhdrHeight = 20;

constexpr std::size_t kChunkCacheFloor = 1 << 20;

struct ContextDeleter {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using Context = std::unique_ptr<spng_ctx, ContextDeleter>;

// A decoder over the entry's bytes with the limits every read of an icon
// image keeps; null when it cannot be made.
Context decoderFor(const ByteReader& image)
{
    // Damage shows in the CRC of each chunk, checked as ever; the Adler-32
    // of the zlib stream would only say it again, at the cost of a pass.
    Context ctx(spng_ctx_new(SPNG_CTX_IGNORE_ADLER32));
    if (!ctx)
        return ctx;
    spng_set_image_limits(ctx.get(), kMaxDecodedSide, kMaxDecodedSide);
    // No chunk may be larger than the entry itself. The cache limit counts
    // libspng's own bookkeeping of the ancillary chunks it meets (text,
    // say) besides their bytes, so a small entry gets a floor.
    spng_set_chunk_limits(ctx.get(), image.size(), std::max<std::size_t>(image.size(), kChunkCacheFloor));
    if (spng_set_png_buffer(ctx.get(), image.bytes().data(), image.bytes().size()) != 0)
        ctx.reset();
    return ctx;
}

} // namespace

bool hasPngSignature(const ByteReader& image)
{
    return image.startsWith(0, kPngSignature);
}

std::expected<ImageHeader, ReadFailure> probePng(const ByteReader& image)
{
    if (!hasPngSignature(image) || !image.startsWith(kIhdrType, kIhdr))
        return std::unexpected(ReadFailure{ReadError::BadMagic, 0});
    const auto width = image.u32be(kIhdrWidth), height = image.u32be(kIhdrHeight);
    if (!width || !height)
        return std::unexpected(ReadFailure{ReadError::Truncated, kIhdrWidth});
    if (*width == 0 || *height == 0)
        return std::unexpected(ReadFailure{ReadError::BadMagic, kIhdrWidth});
    // Refused before anything is allocated: a PNG may claim 60000x60000.
    if (*width > kMaxDecodedSide || *height > kMaxDecodedSide)
        return std::unexpected(ReadFailure{ReadError::TooLarge, kIhdrWidth});
    // Any PNG entry is drawn with its full alpha, so it ranks as 32-bit.
    return ImageHeader{static_cast<int>(*width), static_cast<int>(*height), 32, true};
}

std::expected<RgbaImage, ReadFailure> decodePng(const ByteReader& image)
{
    auto header = probePng(image);
    if (!header)
        return std::unexpected(header.error());

    const Context ctx = decoderFor(image);
    if (!ctx)
        return std::unexpected(ReadFailure{ReadError::Unsupported, 0});

    std::size_t size = 0;
    if (spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size) != 0 ||
        size != static_cast<std::size_t>(header->width) * static_cast<std::size_t>(header->height) * 4)
        return std::unexpected(ReadFailure{ReadError::BadMagic, kIhdrWidth});

    RgbaImage out(header->width, header->height);
    static_assert(sizeof(Rgba) == 4);
    if (spng_decode_image(ctx.get(), out.pixels().data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0)
        return std::unexpected(ReadFailure{ReadError::Truncated, 0});
    for (Rgba& p : out.pixels())
        if (p.a == 0)
            p = Rgba{}; // a transparent pixel carries no colour
    return out;
}

bool pngDecodes(const ByteReader& image)
{
    const auto header = probePng(image);
    if (!header)
        return false;
    const Context ctx = decoderFor(image);
    std::size_t size = 0;
    if (!ctx || spng_decoded_image_size(ctx.get(), SPNG_FMT_PNG, &size) != 0)
        return false;
    if (spng_decode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG, SPNG_DECODE_PROGRESSIVE) != 0)
        return false;
    // Interlaced images come pass by pass; no row is wider than the image's.
    std::vector<unsigned char> row(size / static_cast<std::size_t>(header->height));
    int status = 0;
    do
        status = spng_decode_row(ctx.get(), row.data(), row.size());
    while (status == 0);
    return status == SPNG_EOI;
}

std::expected<RgbaImage, ReadFailure> decodePngScaled(const ByteReader& image, int width, int height)
{
    const auto header = probePng(image);
    if (!header)
        return std::unexpected(header.error());
    const Context ctx = decoderFor(image);
    spng_ihdr ihdr{};
    const bool rowByRow = ctx && spng_get_ihdr(ctx.get(), &ihdr) == 0 && ihdr.interlace_method == 0 &&
                          BlockShrinker::fits(header->width, header->height, width, height);
    if (!rowByRow) {
        auto whole = decodePng(image);
        if (!whole || (whole->width() == width && whole->height() == height))
            return whole;
        return resampleImage(*whole, width, height);
    }

    std::size_t size = 0;
    if (spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size) != 0 ||
        size != static_cast<std::size_t>(header->width) * static_cast<std::size_t>(header->height) * 4)
        return std::unexpected(ReadFailure{ReadError::BadMagic, kIhdrWidth});
    if (spng_decode_image(ctx.get(), nullptr, 0, SPNG_FMT_RGBA8,
                          SPNG_DECODE_PROGRESSIVE | SPNG_DECODE_TRNS) != 0)
        return std::unexpected(ReadFailure{ReadError::Truncated, 0});
    BlockShrinker shrinker(header->width, width, height, header->height / height);
    std::vector<Rgba> row(static_cast<std::size_t>(header->width));
    int status = 0;
    while ((status = spng_decode_row(ctx.get(), row.data(), row.size() * sizeof(Rgba))) == 0)
        shrinker.addRow(row);
    // The last row comes with SPNG_EOI.
    if (status != SPNG_EOI)
        return std::unexpected(ReadFailure{ReadError::Truncated, 0});
    shrinker.addRow(row);
    return shrinker.take();
}

} // namespace gb

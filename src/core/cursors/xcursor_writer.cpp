#include "core/cursors/xcursor_writer.h"

#include "core/imagefiles/byte_writer.h"

#include <algorithm>

namespace gb {

namespace {

// The file's fields, as libXcursor's file reader defines them.
constexpr std::uint32_t kXcursorMagic = 0x72756358; // "Xcur", little-endian
constexpr std::uint32_t kFileHeaderBytes = 16;      // magic, header size, version, TOC count
constexpr std::uint32_t kFileVersion = 0x00010000;  // 1.0
constexpr std::uint32_t kTocEntryBytes = 12;        // type, subtype, position
constexpr std::uint32_t kImageType = 0xfffd0002;
constexpr std::uint32_t kImageHeaderBytes =
    36; // size, type, subtype, version, width, height, xhot, yhot, delay
constexpr std::uint32_t kImageVersion = 1;
constexpr int kMaxImageSide = 0x7fff; // libXcursor refuses larger images

// Premultiplied, rounded to nearest: what X servers composite with.
std::uint32_t premultipliedArgb(Rgba p)
{
    auto times = [&](std::uint8_t c) { return (std::uint32_t{c} * p.a + 127) / 255; };
    return std::uint32_t{p.a} << 24 | times(p.r) << 16 | times(p.g) << 8 | times(p.b);
}

} // namespace

std::expected<std::vector<std::byte>, CursorWriteError> encodeXcursor(const SizedCursor& cursor)
{
    if (cursor.frames.empty() || cursor.sizes.empty() || cursor.steps.empty())
        return std::unexpected(CursorWriteError::NoImage);
    if (cursor.steps.size() != cursor.delaysMs.size())
        return std::unexpected(CursorWriteError::BadSequence);
    for (int step : cursor.steps)
        if (step < 0 || static_cast<std::size_t>(step) >= cursor.frames.size())
            return std::unexpected(CursorWriteError::BadSequence);
    for (const auto& frame : cursor.frames)
        if (frame.size() != cursor.sizes.size())
            return std::unexpected(CursorWriteError::NoImage);

    // Every chunk in writing order, and the file's size before a byte is made.
    struct Chunk {
        const SizedCursorImage* image;
        std::uint32_t delay;
    };
    std::vector<Chunk> chunks;
    std::uint64_t total = kFileHeaderBytes;
    const bool animated = cursor.steps.size() > 1;
    for (std::size_t s = 0; s < cursor.sizes.size(); ++s)
        for (std::size_t step = 0; step < cursor.steps.size(); ++step) {
            const SizedCursorImage& image = cursor.frames[static_cast<std::size_t>(cursor.steps[step])][s];
            const RgbaImage& pixels = image.pixels;
            if (pixels.empty())
                return std::unexpected(CursorWriteError::NoImage);
            if (pixels.width() > kMaxImageSide || pixels.height() > kMaxImageSide)
                return std::unexpected(CursorWriteError::TooLarge);
            // An animation step of no time would make the server spin on it.
            const int delay =
                animated ? std::max(1, cursor.delaysMs[step]) : std::max(0, cursor.delaysMs[step]);
            chunks.push_back({&image, static_cast<std::uint32_t>(delay)});
            total += kTocEntryBytes + kImageHeaderBytes + 4ull * pixels.pixels().size();
            if (total > kMaxCursorFileBytes)
                return std::unexpected(CursorWriteError::TooLarge);
        }

    ByteWriter out;
    out.reserve(total);
    out.u32(kXcursorMagic);
    out.u32(kFileHeaderBytes);
    out.u32(kFileVersion);
    out.u32(static_cast<std::uint32_t>(chunks.size()));
    std::uint64_t position = kFileHeaderBytes + kTocEntryBytes * chunks.size();
    for (const Chunk& chunk : chunks) {
        out.u32(kImageType);
        out.u32(static_cast<std::uint32_t>(chunk.image->size));
        out.u32(static_cast<std::uint32_t>(position));
        position += kImageHeaderBytes + 4ull * chunk.image->pixels.pixels().size();
    }
    for (const Chunk& chunk : chunks) {
        const SizedCursorImage& image = *chunk.image;
        const int width = image.pixels.width(), height = image.pixels.height();
        out.u32(kImageHeaderBytes);
        out.u32(kImageType);
        out.u32(static_cast<std::uint32_t>(image.size));
        out.u32(kImageVersion);
        out.u32(static_cast<std::uint32_t>(width));
        out.u32(static_cast<std::uint32_t>(height));
        // libXcursor refuses a hot spot outside the image.
        out.u32(static_cast<std::uint32_t>(std::clamp(image.hotspotX, 0, width - 1)));
        out.u32(static_cast<std::uint32_t>(std::clamp(image.hotspotY, 0, height - 1)));
        out.u32(chunk.delay);
        const auto pixels = image.pixels.pixels();
        const std::span<std::byte> room = out.grow(4 * pixels.size());
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const std::uint32_t argb = premultipliedArgb(pixels[i]);
            for (std::size_t b = 0; b < 4; ++b)
                room[4 * i + b] = static_cast<std::byte>(argb >> (8 * b));
        }
    }
    return out.take();
}

} // namespace gb

#pragma once
// One cursor image made from its stored bytes and hot spot, and what one
// cursor may spend on its images.

#include "core/bytes/byte_reader.h"
#include "core/bytes/read_error.h"
#include "core/cursors/cursor.h"

#include <cstdint>
#include <expected>

namespace gb {

// A stored image is kept whole up to this size: a 1024x1024 image of 32
// bits with its mask takes a little over 4 MiB, a PNG far less.
inline constexpr std::uint64_t kMaxStoredCursorImage = std::uint64_t{16} << 20;

// Bytes one cursor may copy and draw: each image is charged its stored
// bytes and its pixels. Entries may all point at one large image, and an
// animation may repeat such a frame; the bound keeps the work on one file
// proportional to its size, with room for a few 1024x1024 images.
class CursorAllowance {
public:
    explicit CursorAllowance(std::uint64_t fileSize) : left_(kFloor + kPerFileByte * fileSize) {}
    bool affords(std::uint64_t bytes) const { return bytes <= left_; }
    bool charge(std::uint64_t bytes)
    {
        if (bytes > left_)
            return false;
        left_ -= bytes;
        return true;
    }

private:
    static constexpr std::uint64_t kFloor = 64ull << 20;
    static constexpr std::uint64_t kPerFileByte = 16;
    std::uint64_t left_;
};

// Where a cursor's hot spot is when its image stores none (an icon used as
// a cursor, a raw frame of an animation): the centre, as Windows places
// the hot spot of every icon.
struct HotspotAtCentre {};

// The image `stored` (DIB or PNG) with its hot spot, drawn. A hot spot
// outside the image is moved to the nearest pixel inside it.
std::expected<CursorImage, ReadFailure> makeCursorImage(const ByteReader& stored, int hotspotX, int hotspotY,
                                                        CursorAllowance& allowance);
std::expected<CursorImage, ReadFailure> makeCursorImage(const ByteReader& stored, HotspotAtCentre,
                                                        CursorAllowance& allowance);

} // namespace gb

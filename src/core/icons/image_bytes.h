#pragma once
// The bytes of one stored image, as many as a decoder can use. Directories
// may claim gigabytes for a 32x32 image; only the image's own header says
// how much of that is pixels, so a claim is cut to it before anything is
// copied.

#include "core/bytes/source_reader.h"

#include <cstdint>
#include <map>
#include <optional>
#include <utility>

namespace gb {

// Enough of an image's first bytes to read any header it may start with
// (the largest DIB header, BITMAPV5HEADER, is 124 bytes).
inline constexpr std::uint64_t kImageHeadBytes = 124;

// A PNG entry is kept up to this size: a 1024x1024 image of 16-bit RGBA
// stored without compression takes 8 MiB, and real ones far less.
inline constexpr std::uint64_t kMaxPngEntryBytes = 16 << 20;

// How many of the `declared` bytes of an image starting with `head` a
// decoder can use: a DIB's header, masks, palette, colour and mask rows; a
// PNG up to kMaxPngEntryBytes; of anything else, its head alone.
std::uint64_t usefulImageLength(const ByteReader& head, std::uint64_t declared);

// The image stored at [offset, offset + declared) cut to its useful length,
// within `budget` when one is given.
std::optional<HeldBytes> holdImage(const SourceReader& file, std::uint64_t offset, std::uint64_t declared,
                                   ReadBudget* budget);

// The images of one group as they are read: an image named by several
// entries is read once, and what the group copies out of a file stays
// within kMaxGroupBytes and the file's budget (charged when the group is
// done).
class GroupBytes {
public:
    explicit GroupBytes(ReadBudget* fileBudget);
    ~GroupBytes();
    GroupBytes(const GroupBytes&) = delete;
    GroupBytes& operator=(const GroupBytes&) = delete;

    // The image at [offset, offset + length), cut to its useful length;
    // null when it cannot be read or the budget is spent.
    const HeldBytes* hold(const SourceReader& file, std::uint64_t offset, std::uint64_t length);

private:
    ReadBudget* fileBudget_;
    std::uint64_t granted_;
    ReadBudget left_;
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::optional<HeldBytes>> held_;
};

} // namespace gb

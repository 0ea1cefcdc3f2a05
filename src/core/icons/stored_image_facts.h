#pragma once
// What a script may want to know of each stored image of an icon group
// without decoding it: its size, depth and format by its own header, and
// the size and SHA-256 of its bytes as an ICO file holds them (the bytes
// that "original" export writes: a DIB cut to its header, colour table and
// masks, a PNG as stored).

#include "core/icons/icon_group.h"
#include "core/icons/icon_image.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gb {

struct StoredImageFacts {
    // The image's own header; when it cannot be read, what the group
    // directory claims.
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    bool headerRead = false;
    bool png = false;        // a PNG image, else a DIB (or an unreadable one)
    bool present = false;    // false: the file lacks the image
    std::uint64_t bytes = 0; // 0 when absent
    std::string sha256;      // lowercase hex; empty when absent
};

// One per entry, in group order. Entries naming one image are hashed once.
std::vector<StoredImageFacts> storedImageFacts(const IconGroup& group);

} // namespace gb

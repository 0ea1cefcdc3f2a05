#pragma once
// A cursor as a PNG picture: what it shows first, at one of its sizes.

#include "core/cursors/cursor_sizes.h"

#include <cstddef>
#include <expected>
#include <string>
#include <vector>

namespace gb {

// The frame of the cursor's first step at sizes[sizeIndex], straight alpha;
// the encoder's reason when it refuses.
std::expected<std::vector<std::byte>, std::string> encodeCursorPng(const SizedCursor& cursor,
                                                                   std::size_t sizeIndex);

} // namespace gb

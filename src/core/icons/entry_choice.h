#pragma once
// Which image of an icon group is drawn at a given size, as Windows chooses:
//  1. an image of exactly that size, if the group has one;
//  2. otherwise the size nearest by |dw| + |dh|, a tie going to the larger;
//  3. among images of the chosen size, the deepest colour (PNG counts as 32);
//  4. on a full tie, the first in the group's order.
// Sizes and depths come from each image's own header, never from the group
// directory, which real files often get wrong. Images whose header cannot be
// read take no part.

#include "core/icons/icon_image.h"

#include <optional>
#include <span>

namespace gb {

// headers[i] is the header of entry i, or nullopt when it is missing or bad.
// Returns the index of the chosen entry, or nullopt when none can be drawn.
std::optional<std::size_t> chooseEntry(std::span<const std::optional<ImageHeader>> headers, int size);

} // namespace gb

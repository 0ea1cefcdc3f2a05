#pragma once
// The stored images of one icon group at their own sizes, for the uses that
// want more than the catalogue's 32x32 and 16x16: thumbnails, every native
// size of an icon, icon-theme trees.

#include "core/icons/icon_group.h"
#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace gb {

// The entries worth drawing for a thumbnail of at most `size` pixels a side,
// best first: an image of that size, else the smallest larger one (to be
// scaled down); for a group whose images are all smaller, the largest, drawn
// at its own size rather than blown up. Deeper colour, then group order,
// break ties. A caller takes the first that decodes.
std::vector<std::size_t> thumbnailCandidates(std::span<const std::optional<ImageHeader>> headers, int size);

// One entry per distinct width x height, in group order of first appearance:
// of several images of one size, the one Windows draws at that size (the
// deepest colour, then the first).
std::vector<std::size_t> bestEntryPerSize(std::span<const std::optional<ImageHeader>> headers);

// The image scaled down, keeping its proportions, so that neither side
// exceeds `size`; an image that already fits comes back unchanged.
RgbaImage fitWithin(const RgbaImage& image, int size);
// A stored image decoded and fitted within `size` in one: a large PNG is
// shrunk row by row as it is decoded (see decodePngScaled).
std::expected<RgbaImage, ReadFailure> decodeFittedWithin(const ByteReader& image, int size);

} // namespace gb

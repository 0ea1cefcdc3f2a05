#pragma once
// The catalogue: every icon found, with its origin and its 32x32 and
// 16x16 images (and a 64x64 one for screens of twice the ordinary density,
// when the search drew it), and the rows that show them. Images are only
// appended during a search and only removed all at once; rows refer to images by
// position, so removing rows leaves the images and the other rows'
// references intact. An origin already present is refused: that is what
// stops a file from being catalogued twice in one search.
//
// Images are shared and immutable: a batch, the clipboard and the details
// window take references, not copies, and identical images (real trees
// repeat one application icon in many files) are stored once.

#include "core/catalogue/icon_origin.h"
#include "core/icons/rgba_image.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace gb {

struct CatalogueImage {
    IconOrigin origin;
    SharedImage large; // 32x32
    SharedImage small; // 16x16
    // 64x64, for the large view's device pixels on a screen of twice the
    // ordinary density; null when the search did not draw it, or when the
    // icon stores nothing finer than its 32x32 drawing. Only the views show
    // it: every file written keeps 32x32 and 16x16.
    SharedImage large2x;

    // The image key: origin.key().
    std::string key() const { return origin.key(); }
};

// The drawing a view of `logicalSide` pixels (16 or 32) shows on a screen
// of `deviceRatio` device pixels to the pixel: the smallest that has the
// device pixels it covers, else the largest there is, which the screen then
// enlarges. Never null.
const SharedImage& drawingFor(const CatalogueImage& image, int logicalSide, double deviceRatio);

// Whether a search for a screen of `deviceRatio` draws the 64x64 images:
// from 1.5 on, where the 32x32 drawing would be enlarged by half or more.
bool drawsLarge2x(double deviceRatio);

// A hash of an image's size and pixels, by which the store finds its equal.
std::uint64_t contentHash(const RgbaImage& image);

// An icon as the extraction hands it over, before the store shares its
// images: hashed already, on the extraction's thread.
struct FoundIcon {
    IconOrigin origin;
    RgbaImage large, small;
    std::optional<std::uint64_t> largeHash, smallHash; // contentHash of each, when made
    std::optional<RgbaImage> large2x;                  // CatalogueImage::large2x, when drawn
    std::optional<std::uint64_t> large2xHash;
};

// Positions count from 0 everywhere: images, rows and icons within a file
// (the key's "(0)"). Only the numbers people read count from 1: the row
// texts "Icon 1", "Icon 2"... and the batch files' numbers.
struct CatalogueRow {
    std::size_t icon = 0; // position of the row's image
};

class CatalogueStore {
public:
    void reset();

    // Appends one icon; false (and nothing added) when its origin is there already.
    bool add(IconOrigin origin, RgbaImage large, RgbaImage small);
    bool add(FoundIcon icon);

    std::size_t imageCount() const { return images_.size(); }
    const CatalogueImage& image(std::size_t position) const { return images_.at(position); }
    // How many distinct images the icons share.
    std::size_t distinctImages() const { return distinct_; }

    // One row per image, in the order they were added.
    void buildRows();
    const std::vector<CatalogueRow>& rows() const { return rows_; }
    // Removes the rows at the given positions; others keep their images.
    void removeRows(const std::vector<std::size_t>& positions);

private:
    // The stored image equal to `image`, or `image` itself, now stored.
    SharedImage intern(RgbaImage image, std::uint64_t hash);

    std::vector<CatalogueImage> images_;
    std::unordered_set<std::string> keys_;
    std::unordered_multimap<std::uint64_t, SharedImage> pool_; // by a hash of size and pixels
    std::size_t distinct_ = 0;
    std::vector<CatalogueRow> rows_;
};

// "Icon " + (position + 1): the text of the row made for the image at
// `position`, which it keeps when rows before it are removed.
std::string rowText(std::size_t position);

} // namespace gb

#pragma once
// What one file's stored images gave when they were drawn. Hostile files
// name one image from thousands of entries and groups; each image is
// decoded once at each size, a failure is remembered for good, and the
// pixels decoded per file are bounded by its size, so no file costs more
// drawing than its bytes can justify.

#include "core/bytes/byte_reader.h"
#include "core/icons/icon_group.h"
#include "core/icons/rgba_image.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <utility>

namespace gb {

class DecodeMemo {
public:
    explicit DecodeMemo(std::uint64_t pixelBudget) : pixelsLeft_(pixelBudget) {}
    DecodeMemo(const DecodeMemo&) = delete;
    DecodeMemo& operator=(const DecodeMemo&) = delete;

    // The pixels a file of `fileSize` bytes may have decoded: a real icon
    // file decodes far fewer than this per byte (a 256x256 PNG takes some
    // kilobytes), and a floor serves small files with large images.
    static std::uint64_t budgetFor(std::uint64_t fileSize);
    static constexpr std::uint64_t kPixelsPerFileByte = 256;
    static constexpr std::uint64_t kMinPixels = 16ull << 20;

    // The entry's image drawn at size x size; nullopt when it cannot be
    // decoded (now or before) or the file's budget is spent.
    std::optional<RgbaImage> draw(const GroupEntry& entry, int size);

    // Takes `pixels` from the file's budget for a decoding done elsewhere
    // (at an image's own size, say); false, taking nothing, when they do
    // not fit.
    bool charge(std::uint64_t pixels);

    // How many images were decoded (or tried), for the benchmarks and the
    // tests of shared images.
    std::uint64_t decodes() const
    {
        const std::lock_guard lock(mutex_);
        return decodes_;
    }

    // Drawings kept for reuse: shared images are met again soon (the groups
    // of one file come in a row), and each drawing is small.
    static constexpr std::size_t kRememberedDrawings = 64;

private:
    using Key = std::pair<std::uint64_t, std::uint64_t>; // GroupEntry::place()
    struct Drawing {
        Key key;
        int size;
        RgbaImage image;
    };

    mutable std::mutex mutex_;
    std::set<Key> failed_;
    std::deque<Drawing> drawings_; // the most recent last
    std::uint64_t pixelsLeft_;
    std::uint64_t decodes_ = 0;
};

} // namespace gb

#pragma once
// One icon read anew from its file with every image its group stores, each
// with what its own header says and its decoding at its own size: what the
// details window lists and previews. Reading and decoding take time on a
// large or slow file, so a caller runs this off the window thread.

#include "core/bytes/read_error.h"
#include "core/icons/icon_group.h"
#include "core/icons/icon_image.h"
#include "core/icons/icon_source.h"
#include "core/icons/rgba_image.h"
#include "core/version/version_info.h"

#include <cstddef>
#include <expected>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace gb {

struct StoredImageDetails {
    // What the group directory claims, shown for an image whose own header
    // cannot be read.
    int declaredWidth = 0;
    int declaredHeight = 0;
    // The image's own header; nullopt when the image is missing or its
    // header cannot be read.
    std::optional<ImageHeader> header;
    // The image decoded at its own size; null when it does not decode or
    // the file's budget of decoded pixels is spent. Entries naming one
    // stored image share one decoding.
    std::shared_ptr<const RgbaImage> preview;
};

struct IconDetails {
    IconGroup group;                        // the group as stored, holding its bytes (to save it whole)
    std::vector<StoredImageDetails> images; // one per entry, in group order
    // The entry shown first: the image Windows draws largest. nullopt when
    // no image has a readable header.
    std::optional<std::size_t> shownFirst;
    // The program's version information, when its file has some.
    std::optional<VersionInfo> version;
};

// Icon `index` (from 0) of an indexed source (sources/origin_details.h
// reads one by its origin). Fails when the source no longer holds that icon
// (OutOfRange), or Cancelled once `stop` is requested.
std::expected<IconDetails, ReadFailure> readIconDetails(const IconSource& source, int index,
                                                        const std::stop_token& stop = {});

} // namespace gb

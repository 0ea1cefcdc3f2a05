// The thumbnailer's and the native-size export's path over any file: the
// first icons' stored images chosen for a size, decoded, fitted, encoded.
// The last input byte also picks the thumbnail size.
#include "core/export/native_sizes.h"
#include "core/icons/stored_images.h"
#include "core/imagefiles/png_writer.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int thumbnailSize = size == 0 ? 128 : 1 + data[size - 1];
    const auto source = gb::IconSource::fromBytes(gb::fuzz::readerOf(data, size));
    for (int i = 0; i < source.count() && i < 8; ++i) {
        const auto group = source.group(i);
        if (!group)
            continue;
        const auto headers = gb::probeGroupEntries(*group);
        for (const std::size_t entry : gb::thumbnailCandidates(headers, thumbnailSize)) {
            if (auto image = gb::decodeIconImage(*group->entries[entry].image)) {
                (void)gb::encodePng(gb::fitWithin(*image, thumbnailSize));
                break;
            }
        }
        (void)gb::nativeImages(*group);
    }
    return 0;
}

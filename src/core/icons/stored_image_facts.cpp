#include "core/icons/stored_image_facts.h"

#include "core/hash/sha256.h"
#include "core/icons/png_decoder.h"

#include <map>
#include <utility>

namespace gb {

std::vector<StoredImageFacts> storedImageFacts(const IconGroup& group)
{
    std::vector<StoredImageFacts> facts;
    facts.reserve(group.entries.size());
    // A hostile group names one large image from a thousand entries.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::string> digests;
    for (const GroupEntry& entry : group.entries) {
        StoredImageFacts image;
        image.width = entry.declaredWidth;
        image.height = entry.declaredHeight;
        image.bitDepth = entry.declaredBitCount;
        if (entry.image) {
            image.present = true;
            image.png = hasPngSignature(*entry.image);
            image.bytes = entry.image->size();
            if (const auto header = probeIconImage(*entry.image)) {
                image.width = header->width;
                image.height = header->height;
                image.bitDepth = header->bitDepth;
                image.headerRead = true;
            }
            auto [at, added] = digests.try_emplace(entry.place());
            if (added)
                at->second = sha256Hex(*entry.image);
            image.sha256 = at->second;
        }
        facts.push_back(std::move(image));
    }
    return facts;
}

} // namespace gb

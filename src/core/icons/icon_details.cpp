#include "core/icons/icon_details.h"

#include "core/icons/decode_memo.h"
#include "core/icons/stored_images.h"

#include <map>
#include <utility>

namespace gb {

std::expected<IconDetails, ReadFailure> readIconDetails(const IconSource& source, int index,
                                                        const std::stop_token& stop)
{
    const ReadFailure cancelled{ReadError::Cancelled, 0};
    // A stop while indexing leaves the file looking empty: it is no answer.
    if (stop.stop_requested())
        return std::unexpected(cancelled);
    auto group = source.group(index);
    if (!group)
        return std::unexpected(group.error());

    IconDetails details;
    details.group = std::move(*group);
    details.version = source.versionInfo();
    const auto headers = probeGroupEntries(details.group);
    // Hostile groups name one stored image from many entries: it is decoded
    // once, and every decoding is charged to the file's budget of pixels.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::shared_ptr<const RgbaImage>> decoded;
    details.images.reserve(headers.size());
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (stop.stop_requested())
            return std::unexpected(cancelled);
        const GroupEntry& entry = details.group.entries[i];
        StoredImageDetails image{entry.declaredWidth, entry.declaredHeight, headers[i], nullptr};
        if (headers[i]) {
            auto [at, added] = decoded.try_emplace(entry.place());
            const auto pixels = static_cast<std::uint64_t>(headers[i]->width) *
                                static_cast<std::uint64_t>(headers[i]->height);
            if (added && (!details.group.memo || details.group.memo->charge(pixels)))
                if (auto drawn = decodeIconImage(*entry.image))
                    at->second = std::make_shared<const RgbaImage>(std::move(*drawn));
            image.preview = at->second;
        }
        details.images.push_back(std::move(image));
    }
    if (const auto best = thumbnailCandidates(headers, kMaxIconSide); !best.empty())
        details.shownFirst = best.front();
    return details;
}

} // namespace gb

#include "core/icons/image_bytes.h"

#include "core/icons/dib_decoder.h"
#include "core/icons/icon_group.h"
#include "core/icons/png_decoder.h"

#include <algorithm>

namespace gb {

std::uint64_t usefulImageLength(const ByteReader& head, std::uint64_t declared)
{
    if (hasPngSignature(head))
        return std::min(declared, kMaxPngEntryBytes);
    if (const auto length = dibLength(head))
        return std::min(declared, *length);
    return std::min(declared, head.size());
}

std::optional<HeldBytes> holdImage(const SourceReader& file, std::uint64_t offset, std::uint64_t declared,
                                   ReadBudget* budget)
{
    if (!file.fits(offset, declared))
        return std::nullopt;
    const auto head = file.bytes(offset, std::min(declared, kImageHeadBytes));
    if (!head)
        return std::nullopt; // the file shrank since it was opened
    return holdRange(file, offset, usefulImageLength(ByteReader(*head), declared), budget);
}

GroupBytes::GroupBytes(ReadBudget* fileBudget)
    : fileBudget_(fileBudget),
      granted_(std::min(kMaxGroupBytes, fileBudget != nullptr ? fileBudget->left : kMaxGroupBytes)),
      left_{granted_}
{
}

GroupBytes::~GroupBytes()
{
    if (fileBudget_ != nullptr)
        fileBudget_->left -= std::min(fileBudget_->left, granted_ - left_.left);
}

const HeldBytes* GroupBytes::hold(const SourceReader& file, std::uint64_t offset, std::uint64_t length)
{
    auto [at, added] = held_.try_emplace({offset, length});
    if (added)
        at->second = holdImage(file, offset, length, &left_);
    return at->second ? &*at->second : nullptr;
}

} // namespace gb

#include "core/bytes/source_reader.h"

#include <algorithm>
#include <cstring>

namespace gb {

namespace {

// Takes `length` from the budget (none: no limit); false when it has not
// that much left.
bool spend(ReadBudget* budget, std::uint64_t length)
{
    if (budget == nullptr)
        return true;
    if (length > budget->left)
        return false;
    budget->left -= length;
    return true;
}

HeldBytes keep(std::vector<std::byte> bytes)
{
    auto block = std::make_shared<const std::vector<std::byte>>(std::move(bytes));
    return HeldBytes{ByteReader(std::span(*block)), block};
}

} // namespace

SourceReader::SourceReader(const ByteSource& source) : source_(source), memory_(source.memory()) {}

const SourceReader::Block* SourceReader::block(std::uint64_t start) const
{
    for (const Block& b : cache_)
        if (b.length > 0 && b.start == start)
            return &b;
    Block& slot = cache_[nextSlot_];
    nextSlot_ = (nextSlot_ + 1) % kCachedBlocks;
    slot.bytes.resize(kBlockSize);
    slot.start = start;
    slot.length = source_.readAt(start, slot.bytes);
    return slot.length > 0 ? &slot : nullptr;
}

bool SourceReader::copy(std::uint64_t offset, std::span<std::byte> out) const
{
    if (!fits(offset, out.size()))
        return false;
    if (out.empty())
        return true; // an empty span may have no storage to copy into
    if (memory_) {
        std::memcpy(out.data(), memory_->bytes().data() + offset, out.size());
        return true;
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const std::uint64_t at = offset + done;
        const std::uint64_t start = at - at % kBlockSize;
        const Block* b = block(start);
        const std::uint64_t inBlock = at - start;
        if (b == nullptr || inBlock >= b->length)
            return false; // the file shrank since it was opened
        const std::size_t n = std::min<std::size_t>(out.size() - done, b->length - inBlock);
        std::memcpy(out.data() + done, b->bytes.data() + inBlock, n);
        done += n;
    }
    return true;
}

std::optional<std::vector<std::byte>> SourceReader::bytes(std::uint64_t offset, std::uint64_t length) const
{
    if (!fits(offset, length))
        return std::nullopt;
    if (length > kBlockSize)
        return readRange(source_, offset, length);
    std::vector<std::byte> out(static_cast<std::size_t>(length));
    if (!copy(offset, out))
        return std::nullopt;
    return out;
}

std::optional<HeldBytes> holdRange(const SourceReader& reader, std::uint64_t offset, std::uint64_t length,
                                   ReadBudget* budget)
{
    if (!reader.fits(offset, length))
        return std::nullopt;
    if (const auto whole = reader.source().memory())
        return HeldBytes{*whole->sub(offset, length), reader.source().keeper()};
    if (!spend(budget, length))
        return std::nullopt;
    auto bytes = reader.bytes(offset, length);
    if (!bytes)
        return std::nullopt;
    return keep(std::move(*bytes));
}

std::optional<std::uint8_t> SourceReader::u8(std::uint64_t offset) const
{
    if (memory_)
        return memory_->u8(offset);
    std::array<std::byte, 1> b{};
    if (!copy(offset, b))
        return std::nullopt;
    return ByteReader(b).u8(0);
}

std::optional<std::uint16_t> SourceReader::u16le(std::uint64_t offset) const
{
    if (memory_)
        return memory_->u16le(offset);
    std::array<std::byte, 2> b{};
    if (!copy(offset, b))
        return std::nullopt;
    return ByteReader(b).u16le(0);
}

std::optional<std::uint32_t> SourceReader::u32le(std::uint64_t offset) const
{
    if (memory_)
        return memory_->u32le(offset);
    std::array<std::byte, 4> b{};
    if (!copy(offset, b))
        return std::nullopt;
    return ByteReader(b).u32le(0);
}

bool SourceReader::startsWith(std::uint64_t offset, std::span<const std::uint8_t> magic) const
{
    if (memory_)
        return memory_->startsWith(offset, magic);
    std::vector<std::byte> b(magic.size());
    return copy(offset, b) && ByteReader(b).startsWith(0, magic);
}

} // namespace gb

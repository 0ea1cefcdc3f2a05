#pragma once
// One bounded view over untrusted bytes. Every read is checked in 64-bit
// arithmetic before any pointer is formed; a read that does not fit yields
// std::nullopt, never undefined behaviour. No other code indexes file data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace gb {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    std::uint64_t size() const { return bytes_.size(); }
    std::span<const std::byte> bytes() const { return bytes_; }

    bool fits(std::uint64_t offset, std::uint64_t length) const
    {
        return offset <= bytes_.size() && length <= bytes_.size() - offset;
    }

    std::optional<std::uint8_t> u8(std::uint64_t offset) const
    {
        if (!fits(offset, 1))
            return std::nullopt;
        return static_cast<std::uint8_t>(bytes_[offset]);
    }

    std::optional<std::uint16_t> u16le(std::uint64_t offset) const
    {
        if (!fits(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>(byteAt(offset) | (byteAt(offset + 1) << 8));
    }

    std::optional<std::uint32_t> u32le(std::uint64_t offset) const
    {
        if (!fits(offset, 4))
            return std::nullopt;
        return byteAt(offset) | (byteAt(offset + 1) << 8) | (byteAt(offset + 2) << 16) |
               (byteAt(offset + 3) << 24);
    }

    std::optional<std::int32_t> i32le(std::uint64_t offset) const
    {
        auto v = u32le(offset);
        if (!v)
            return std::nullopt;
        return static_cast<std::int32_t>(*v);
    }

    std::optional<std::uint32_t> u32be(std::uint64_t offset) const
    {
        if (!fits(offset, 4))
            return std::nullopt;
        return (byteAt(offset) << 24) | (byteAt(offset + 1) << 16) | (byteAt(offset + 2) << 8) |
               byteAt(offset + 3);
    }

    // A sub-view; nullopt when [offset, offset + length) leaves this view.
    std::optional<ByteReader> sub(std::uint64_t offset, std::uint64_t length) const
    {
        if (!fits(offset, length))
            return std::nullopt;
        return ByteReader(bytes_.subspan(offset, length));
    }

    // The bytes from offset to the end (empty when offset is past the end).
    ByteReader tail(std::uint64_t offset) const
    {
        if (offset >= bytes_.size())
            return ByteReader();
        return ByteReader(bytes_.subspan(offset));
    }

    bool startsWith(std::uint64_t offset, std::span<const std::uint8_t> magic) const
    {
        if (!fits(offset, magic.size()))
            return false;
        for (std::size_t i = 0; i < magic.size(); ++i)
            if (byteAt(offset + i) != magic[i])
                return false;
        return true;
    }

private:
    std::uint32_t byteAt(std::uint64_t offset) const { return static_cast<std::uint32_t>(bytes_[offset]); }

    std::span<const std::byte> bytes_;
};

} // namespace gb

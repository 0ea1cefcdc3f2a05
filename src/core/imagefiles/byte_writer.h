#pragma once
// Little-endian output for the file writers.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace gb {

class ByteWriter {
public:
    void u8(std::uint8_t v) { bytes_.push_back(static_cast<std::byte>(v)); }
    void u16(std::uint16_t v)
    {
        u8(static_cast<std::uint8_t>(v));
        u8(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v)
    {
        const std::byte le[4] = {static_cast<std::byte>(v), static_cast<std::byte>(v >> 8),
                                 static_cast<std::byte>(v >> 16), static_cast<std::byte>(v >> 24)};
        bytes_.insert(bytes_.end(), le, le + 4);
    }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void append(std::span<const std::byte> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    void zeros(std::size_t n) { bytes_.insert(bytes_.end(), n, std::byte{0}); }
    // n more bytes, to be filled in place (a block of pixels).
    std::span<std::byte> grow(std::size_t n)
    {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + n);
        return std::span(bytes_).subspan(at);
    }

    // Room for n more bytes, so a writer that knows its file's size grows it once.
    void reserve(std::size_t n) { bytes_.reserve(bytes_.size() + n); }
    std::size_t size() const { return bytes_.size(); }
    std::vector<std::byte> take() { return std::move(bytes_); }

private:
    std::vector<std::byte> bytes_;
};

} // namespace gb

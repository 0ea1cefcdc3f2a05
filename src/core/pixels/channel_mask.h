#pragma once
// One colour channel of a packed pixel, described by a bit mask as 16- and
// 32-bit BMP and DIB images and X11 visuals describe theirs, scaled to
// 8 bits. The icon reader, the converter's BMP reader and the grabber share
// it, so a channel reads the same wherever it comes from.

#include <bit>
#include <cstdint>

namespace gb {

class ChannelMask {
public:
    constexpr ChannelMask() = default;
    constexpr explicit ChannelMask(std::uint32_t mask)
        : mask_(mask), shift_(mask ? std::countr_zero(mask) : 0), bits_(std::popcount(mask))
    {
    }

    constexpr std::uint32_t mask() const { return mask_; }
    constexpr int bits() const { return bits_; }

    // True when the set bits form one run, or there are none.
    constexpr bool contiguous() const
    {
        const std::uint32_t run = mask_ >> shift_;
        return (run & (run + 1)) == 0;
    }

    // The channel's value on 0..255. A channel of 8 bits or more keeps its
    // top eight; a narrower one is stretched with rounding, so 5-bit 31 is
    // 255. A mask with gaps is stretched from its largest value.
    constexpr std::uint8_t scale(std::uint32_t pixel) const
    {
        if (mask_ == 0)
            return 0;
        const std::uint32_t value = (pixel & mask_) >> shift_;
        if (bits_ >= 8 && contiguous())
            return static_cast<std::uint8_t>(value >> (bits_ - 8));
        const std::uint64_t top = mask_ >> shift_;
        return static_cast<std::uint8_t>((value * std::uint64_t{255} + top / 2) / top);
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    int bits_ = 0;
};

} // namespace gb

#include "core/pixels/channel_mask.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace gb {
namespace {

struct ChannelCase {
    std::uint32_t mask;
    std::uint32_t pixel;
    int expected;
};

class ChannelMaskScales : public ::testing::TestWithParam<ChannelCase> {};

TEST_P(ChannelMaskScales, ToEightBits)
{
    const ChannelCase c = GetParam();
    EXPECT_EQ(ChannelMask(c.mask).scale(c.pixel), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, ChannelMaskScales,
    ::testing::Values(ChannelCase{0x7c00, 0x7c00, 255},         // 5-bit top
                      ChannelCase{0x7c00, 0x4000, 132},         // 5-bit 16, rounded
                      ChannelCase{0x001f, 0x0001, 8},           // 5-bit 1
                      ChannelCase{0xf800, 0x0000, 0},           // 5-6-5 red, empty
                      ChannelCase{0x07e0, 0x07e0, 255},         // 6-bit top
                      ChannelCase{0xff0000, 0x123456, 0x12},    // 8 bits as they are
                      ChannelCase{0x3ff00000, 0x3ff00000, 255}, // 10 bits keep the top eight
                      ChannelCase{0x3ff00000, 0x00300000, 0}, ChannelCase{0x0, 0xffffffff, 0}, // no channel
                      ChannelCase{0x5, 0x5, 255}, // gaps: stretched from the largest
                      ChannelCase{0xff000000, 0x80000000, 0x80}));

TEST(ChannelMask, TellsARunFromAMaskWithGaps)
{
    EXPECT_TRUE(ChannelMask(0x00ff00).contiguous());
    EXPECT_TRUE(ChannelMask(0).contiguous());
    EXPECT_FALSE(ChannelMask(0x0f0f).contiguous());
    EXPECT_EQ(ChannelMask(0x07e0).bits(), 6);
}

} // namespace
} // namespace gb

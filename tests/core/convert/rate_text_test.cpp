#include "core/convert/rate_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace gb::convert {
namespace {

TEST(RateText, LeadingNumberIsReadAndTheRestIgnored)
{
    EXPECT_EQ(rateFromText("75"), 75);
    EXPECT_EQ(rateFromText("80abc"), 80);
    EXPECT_EQ(rateFromText(""), 0);
    EXPECT_EQ(rateFromText("abc"), 0);
    EXPECT_EQ(rateFromText("-"), 0);
    EXPECT_EQ(rateFromText("."), 0);
    EXPECT_EQ(rateFromText("%50"), 0);
}

TEST(RateText, HalvesGoToTheEvenNeighbour)
{
    EXPECT_EQ(rateFromText("12.5"), 12);
    EXPECT_EQ(rateFromText("13.5"), 14);
    EXPECT_EQ(rateFromText("0.5"), 0);
    EXPECT_EQ(rateFromText("1.5"), 2);
    EXPECT_EQ(rateFromText("12.51"), 13);
    EXPECT_EQ(rateFromText("-2.5"), -2);
    EXPECT_EQ(rateFromText(".6"), 1);
}

TEST(RateText, SpacesTabsAndLineFeedsAreSkippedAnywhere)
{
    EXPECT_EQ(rateFromText("  42"), 42);
    EXPECT_EQ(rateFromText("1 2"), 12);
    EXPECT_EQ(rateFromText("\t9\n0 x"), 90);
    EXPECT_EQ(rateFromText("- 7"), -7);
    // A full-width space is no blank here: the number ends before it.
    EXPECT_EQ(rateFromText("5\u30000"), 5);
}

TEST(RateText, SignsExponentsAndRadixPrefixes)
{
    EXPECT_EQ(rateFromText("+33"), 33);
    EXPECT_EQ(rateFromText("1e2"), 100);
    EXPECT_EQ(rateFromText("2D1"), 20);
    EXPECT_EQ(rateFromText("5e"), 5);
    EXPECT_EQ(rateFromText("5e+"), 5);
    EXPECT_EQ(rateFromText("&H1F"), 31);
    EXPECT_EQ(rateFromText("&o17"), 15);
    EXPECT_EQ(rateFromText("&HFFFF"), -1);     // 16 bits: signed
    EXPECT_EQ(rateFromText("&H10000"), 65536); // beyond 16 bits: a 32-bit value
    EXPECT_EQ(rateFromText("&HFFFFFFFF"), -1);
    EXPECT_EQ(rateFromText("&H"), 0);
    EXPECT_EQ(rateFromText("&X12"), 0);
}

TEST(RateText, NumbersBeyondThirtyTwoBitsAreClamped)
{
    constexpr auto high = std::numeric_limits<std::int32_t>::max();
    constexpr auto low = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(rateFromText("2147483647"), high);
    EXPECT_EQ(rateFromText("2147483648"), high);
    EXPECT_EQ(rateFromText("99999999999999999999999"), high);
    EXPECT_EQ(rateFromText("1e400"), high);
    EXPECT_EQ(rateFromText(std::string(500, '9')), high);
    EXPECT_EQ(rateFromText("-2147483648"), low);
    EXPECT_EQ(rateFromText("-9e99"), low);
    EXPECT_EQ(rateFromText("&H1FFFFFFFF"), high);
    EXPECT_EQ(rateFromText("1e-400"), 0);
}

} // namespace
} // namespace gb::convert

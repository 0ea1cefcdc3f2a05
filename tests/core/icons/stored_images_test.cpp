#include "core/icons/stored_images.h"

#include <gtest/gtest.h>

namespace gb {
namespace {

std::optional<ImageHeader> dib(int side, int depth)
{
    return ImageHeader{side, side, depth, false};
}

std::optional<ImageHeader> png(int side)
{
    return ImageHeader{side, side, 32, true};
}

TEST(ThumbnailCandidates, SmallestAtLeastAsLargeFirstThenLargestSmaller)
{
    const std::vector<std::optional<ImageHeader>> headers = {
        dib(16, 8), png(256), dib(48, 32), std::nullopt, dib(32, 4), dib(32, 32), dib(128, 32)};
    EXPECT_EQ(thumbnailCandidates(headers, 64), (std::vector<std::size_t>{6, 1, 2, 5, 4, 0}));
    EXPECT_EQ(thumbnailCandidates(headers, 32), (std::vector<std::size_t>{5, 4, 2, 6, 1, 0}));
    EXPECT_EQ(thumbnailCandidates(headers, 512), (std::vector<std::size_t>{1, 6, 2, 5, 4, 0}));
}

TEST(ThumbnailCandidates, EqualImagesKeepGroupOrder)
{
    const std::vector<std::optional<ImageHeader>> headers = {dib(32, 32), dib(32, 32)};
    EXPECT_EQ(thumbnailCandidates(headers, 32), (std::vector<std::size_t>{0, 1}));
}

TEST(BestEntryPerSize, DeepestOfEachSizeInOrderOfFirstAppearance)
{
    const std::vector<std::optional<ImageHeader>> headers = {dib(32, 4),   dib(16, 8),  dib(32, 32),
                                                             std::nullopt, dib(32, 32), dib(16, 4)};
    EXPECT_EQ(bestEntryPerSize(headers), (std::vector<std::size_t>{2, 1}));
}

TEST(FitWithin, KeepsProportionsAndNeverEnlarges)
{
    EXPECT_EQ(fitWithin(RgbaImage(28, 36), 18).width(), 14);
    EXPECT_EQ(fitWithin(RgbaImage(28, 36), 18).height(), 18);
    EXPECT_EQ(fitWithin(RgbaImage(16, 16), 256).width(), 16);
}

} // namespace
} // namespace gb

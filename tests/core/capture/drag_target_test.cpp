// The drag's target: what each tick keeps and what a release grabs.
#include "core/capture/drag_target.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace gb::capture {
namespace {

constexpr ScreenSize kScreen{1024, 768};

struct ReleaseCase {
    const char* name;
    DragTarget target;
    std::optional<ScreenRect> grabbed;
};

class AreaToGrab : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(AreaToGrab, IsTheTargetsRectangleWhenThereIsOne)
{
    const ReleaseCase& c = GetParam();
    EXPECT_EQ(areaToGrab(c.target), c.grabbed);
}

const ReleaseCase kReleases[] = {
    {"ReleaseBeforeAnyTickGrabsNothing", {}, std::nullopt},
    {"FoundWindowIsGrabbed", {42, {100, 50, 300, 200}}, ScreenRect{100, 50, 300, 200}},
    {"TargetWhollyLeftOfTheScreenGrabsNothing", aimedAt(9, {-500, 10, -100, 200}, kScreen), std::nullopt},
    {"TargetWhollyBelowTheScreenGrabsNothing", aimedAt(9, {10, 800, 200, 900}, kScreen), std::nullopt},
    {"TargetPartlyOffTheScreenGrabsItsOnScreenPart", aimedAt(5, {-8, -8, 1032, 776}, kScreen),
     ScreenRect{0, 0, 1024, 768}},
    // A rectangle with no window is not a target, whatever it measures.
    {"RectangleWithoutAWindowGrabsNothing", {0, {0, 0, 10, 10}}, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Targets, AreaToGrab, ::testing::ValuesIn(kReleases),
                         [](const ::testing::TestParamInfo<ReleaseCase>& test) {
                             return std::string(test.param.name);
                         });

TEST(DragTarget, TickKeepsTheWindowAndItsClampedRectangle)
{
    const DragTarget target = aimedAt(77, {900, 700, 1300, 800}, kScreen);
    EXPECT_EQ(target.window, 77u);
    EXPECT_EQ(target.rect, (ScreenRect{900, 700, 1024, 768}));
}

} // namespace
} // namespace gb::capture

#include "core/jobs/ordered_work.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace gb {
namespace {

// Items that finish in reverse order of their coming still arrive in order,
// whatever the number of workers; and no more than the window is ever in
// flight.
TEST(OrderedWork, DeliversInTheOrderGivenWithinItsWindow)
{
    for (const unsigned workers : {1U, 2U, 4U}) {
        std::vector<int> delivered;
        std::atomic<int> inFlight{0}, mostInFlight{0};
        int submitted = 0;
        {
            OrderedWork<int, int> work(
                workers,
                [&](int& item) {
                    const int now = ++inFlight;
                    for (int seen = mostInFlight;
                         now > seen && !mostInFlight.compare_exchange_weak(seen, now);) {
                    }
                    std::this_thread::sleep_for(std::chrono::microseconds(200 * (item % 5)));
                    --inFlight;
                    return item * 10;
                },
                [&](int& result) {
                    EXPECT_LE(submitted - static_cast<int>(delivered.size()), 8) << workers << " workers";
                    delivered.push_back(result);
                },
                8);
            for (int i = 0; i < 200; ++i) {
                ++submitted;
                work.submit(i);
            }
            work.finish();
        }
        ASSERT_EQ(delivered.size(), 200U) << workers << " workers";
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(delivered[static_cast<std::size_t>(i)], i * 10) << workers << " workers";
        EXPECT_LE(mostInFlight.load(), static_cast<int>(workers));
    }
}

TEST(OrderedWork, AFailureReachesTheOwnerWithItsItemAfterTheOnesBefore)
{
    std::vector<int> delivered;
    OrderedWork<int, int> work(
        2,
        [](int& item) {
            if (item == 3)
                throw std::runtime_error("out of memory");
            return item;
        },
        [&](int& result) { delivered.push_back(result); });
    EXPECT_THROW(
        {
            for (int i = 0; i < 10; ++i)
                work.submit(i);
            work.finish();
        },
        std::runtime_error);
    EXPECT_EQ(delivered, (std::vector<int>{0, 1, 2}));
}

} // namespace
} // namespace gb

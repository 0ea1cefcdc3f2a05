#include "core/jobs/background_job.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>
#include <thread>

namespace gb {
namespace {

// Waits, without a deadline of its own, for the job to hear of its end.
template <class Job> void waitForEnd(const Job& job)
{
    while (job.running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(BackgroundJob, AJobThatThrowsEndsAsAFailure)
{
    BackgroundJob<int, int> job;
    std::atomic<bool> heard{false};
    job.start([](JobContext<int>&) -> int { throw std::runtime_error("no memory for the image"); }, 0,
              [&heard] { heard = true; });
    waitForEnd(job);
    const auto snapshot = job.snapshot();
    ASSERT_TRUE(snapshot.finished);
    ASSERT_TRUE(snapshot.result.has_value());
    ASSERT_FALSE(snapshot.result->has_value());
    EXPECT_EQ(describeJobFailure(snapshot.result->error()), "no memory for the image");
    EXPECT_TRUE(heard);
}

TEST(BackgroundJob, AJobAfterAFailedOneRunsAsUsual)
{
    BackgroundJob<int, int> job;
    job.start([](JobContext<int>&) -> int { throw std::bad_alloc(); });
    waitForEnd(job);
    job.start([](JobContext<int>& context) {
        context.update([](int& progress) { progress = 7; });
        return 42;
    });
    waitForEnd(job);
    const auto snapshot = job.snapshot();
    ASSERT_TRUE(snapshot.result && *snapshot.result);
    EXPECT_EQ(**snapshot.result, 42);
    EXPECT_EQ(snapshot.progress, 7);
}

TEST(BackgroundJob, AnExceptionWithoutAMessageIsStillDescribed)
{
    BackgroundJob<int, int> job;
    job.start([](JobContext<int>&) -> int { throw 3; });
    waitForEnd(job);
    const auto snapshot = job.snapshot();
    ASSERT_TRUE(snapshot.result && !*snapshot.result);
    EXPECT_FALSE(describeJobFailure(snapshot.result->error()).empty());
}

TEST(BackgroundJob, StopNowReachesTheWorkAndItsResultIsKept)
{
    BackgroundJob<int, int> job;
    job.start([](JobContext<int>& context) {
        while (!context.abandoned().stop_requested())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return 5;
    });
    job.stop(Stop::Now);
    waitForEnd(job);
    const auto snapshot = job.snapshot();
    ASSERT_TRUE(snapshot.result && *snapshot.result);
    EXPECT_EQ(**snapshot.result, 5);
}

} // namespace
} // namespace gb

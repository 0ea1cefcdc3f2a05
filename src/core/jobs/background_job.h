#pragma once
// One piece of long work on a thread of its own: the search, a batch, a
// conversion. The window starts it, reads a snapshot of its progress as
// often as it repaints, may ask it to stop, and hears when it has finished;
// the work never touches a widget.
//
// A job is stopped in one of two strengths, through one request:
//   - Stop::AtCheckpoints: the work ends at its next checkpoint and leaves
//     what it did whole (the search's walk, at its poll points);
//   - Stop::Now: also whatever is under way is given up (leaving the
//     program: nothing more will be shown).
// The work sees both through its JobContext. Starting a job while another
// runs is a mistake of the caller's; start() never waits for running work.
// The destructor stops the job Now and waits for it.
//
// An exception the work throws (out of memory, say) ends the job, not the
// program: it is caught on the job's thread and handed over in place of the
// result, for the window to show as a failure.

#include <cassert>
#include <exception>
#include <expected>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>

namespace gb {

enum class Stop { AtCheckpoints, Now };

// What a job's exception says, for programmers: its what(), when it has one.
inline std::string describeJobFailure(const std::exception_ptr& failure)
{
    try {
        if (failure)
            std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
    }
    return "the work ended with an exception";
}

template <class Progress> class JobContext {
public:
    // True once any stop was asked for: the work ends at its next checkpoint.
    bool stopRequested() const { return checkpoints_.stop_requested(); }
    // The token of Stop::Now, for calls that can give up midway.
    std::stop_token abandoned() const { return now_; }
    // The token of any stop, for work that ends early at either strength.
    std::stop_token anyStop() const { return checkpoints_; }

    // Changes the progress the window sees, under the job's lock.
    template <class Change> void update(Change&& change)
    {
        std::lock_guard lock(mutex_);
        std::forward<Change>(change)(progress_);
    }

private:
    template <class P, class R> friend class BackgroundJob;
    JobContext(std::mutex& mutex, Progress& progress, std::stop_token checkpoints, std::stop_token now)
        : mutex_(mutex), progress_(progress), checkpoints_(std::move(checkpoints)), now_(std::move(now))
    {
    }
    std::mutex& mutex_;
    Progress& progress_;
    std::stop_token checkpoints_;
    std::stop_token now_;
};

template <class Progress, class Result> class BackgroundJob {
public:
    using Context = JobContext<Progress>;
    // The work's result, or what it threw.
    using Outcome = std::expected<Result, std::exception_ptr>;
    using Work = std::function<Result(Context& job)>;
    // Called on the job's thread once the result can be read: a window
    // posts itself a call from here rather than polling for the end.
    using Finished = std::function<void()>;

    struct Snapshot {
        Progress progress{};
        bool finished = false;
        std::optional<Outcome> result; // once finished
    };

    BackgroundJob() = default;
    ~BackgroundJob()
    {
        stop(Stop::Now);
        if (thread_.joinable())
            thread_.join();
    }
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Starts `work` with `initial` progress. The job before must have
    // finished; its thread has then only its return left, so the join
    // below takes no time worth the name.
    void start(Work work, Progress initial = {}, Finished finished = {})
    {
        assert(!running());
        if (thread_.joinable())
            thread_.join();
        {
            std::lock_guard lock(mutex_);
            progress_ = std::move(initial);
            result_.reset();
            running_ = true;
        }
        checkpoints_ = std::stop_source();
        now_ = std::stop_source();
        thread_ = std::thread([this, work = std::move(work), finished = std::move(finished)] {
            Context context(mutex_, progress_, checkpoints_.get_token(), now_.get_token());
            std::optional<Outcome> result;
            try {
                result.emplace(work(context));
            } catch (...) {
                result.emplace(std::unexpect, std::current_exception());
            }
            {
                std::lock_guard lock(mutex_);
                result_ = std::move(result);
                running_ = false;
            }
            if (finished)
                finished();
        });
    }

    void stop(Stop how)
    {
        checkpoints_.request_stop();
        if (how == Stop::Now)
            now_.request_stop();
    }

    // From start() until the result is in.
    bool running() const
    {
        std::lock_guard lock(mutex_);
        return running_;
    }

    Snapshot snapshot() const
    {
        std::lock_guard lock(mutex_);
        return Snapshot{progress_, !running_ && result_.has_value(), result_};
    }

    // Reads or changes the progress under the job's lock, without a copy:
    // a search hands over what it found since the last look.
    template <class Look> decltype(auto) withProgress(Look&& look)
    {
        std::lock_guard lock(mutex_);
        return std::forward<Look>(look)(progress_, !running_ && result_.has_value());
    }

private:
    mutable std::mutex mutex_;
    Progress progress_{};
    std::optional<Outcome> result_;
    bool running_ = false;
    std::stop_source checkpoints_;
    std::stop_source now_;
    std::thread thread_;
};

} // namespace gb

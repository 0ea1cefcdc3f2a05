#pragma once
// Work on every core, results in order. The owner hands in items one at a
// time (the folder walk, as it finds files); workers process them in any
// order on threads of their own; the owner receives each result in the
// order the items came, on its own thread, as soon as the results before it
// are in. So the catalogue and the CLI's output and numbering are the same
// as one thread would make them, whatever the number of workers.
//
// At most `window` items are in flight (given and not yet delivered): an
// owner that finds items faster than workers process them waits in
// submit(), delivering results meanwhile, so memory is bounded by the
// window however large the tree. With one worker nothing runs on another
// thread: each item is processed and delivered inside submit().
//
// An exception thrown by the work (out of memory, say) reaches the owner
// with that item's delivery, thrown from submit() or finish().

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace gb {

// The number of workers "all cores" stands for.
inline unsigned allCores()
{
    return std::max(1U, std::thread::hardware_concurrency());
}

template <class Item, class Result> class OrderedWork {
public:
    using Work = std::function<Result(Item& item)>;
    using Deliver = std::function<void(Result& result)>;

    OrderedWork(unsigned workers, Work work, Deliver deliver, std::size_t window = 0)
        : work_(std::move(work)), deliver_(std::move(deliver)),
          window_(window ? window : 4 * std::size_t{std::max(1U, workers)})
    {
        if (workers <= 1)
            return;
        threads_.reserve(workers);
        for (unsigned i = 0; i < workers; ++i)
            threads_.emplace_back([this] { serve(); });
    }

    // Waits for the items being processed, drops those not begun and
    // delivers nothing more.
    ~OrderedWork()
    {
        {
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        ready_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    OrderedWork(const OrderedWork&) = delete;
    OrderedWork& operator=(const OrderedWork&) = delete;

    void submit(Item item)
    {
        if (threads_.empty()) {
            Result result = work_(item);
            deliver_(result);
            return;
        }
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            slots_.emplace_back(std::move(item));
            wake = idleWorkers_ > 0; // a busy worker finds it when it looks again
        }
        if (wake)
            ready_.notify_one();
        deliverDone(window_ - 1);
    }

    // Delivers every result still to come, in order.
    void finish() { deliverDone(0); }

private:
    struct Slot {
        explicit Slot(Item given) : item(std::move(given)) {}
        Item item;
        bool taken = false;
        std::optional<Result> result;
        std::exception_ptr failure;
    };

    // Delivers results in order until at most `inFlight` items are left
    // undelivered; waits for a worker where the next result is not in yet.
    void deliverDone(std::size_t inFlight)
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            while (!slots_.empty() && (slots_.front().result || slots_.front().failure)) {
                Slot slot = std::move(slots_.front());
                slots_.pop_front();
                lock.unlock();
                if (slot.failure)
                    std::rethrow_exception(slot.failure);
                deliver_(*slot.result);
                lock.lock();
            }
            if (slots_.size() <= inFlight)
                return;
            ownerWaiting_ = true;
            done_.wait(lock);
            ownerWaiting_ = false;
        }
    }

    void serve()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            // The oldest item no worker has taken; a deque's elements stay
            // where they are while others are added or taken from the front.
            Slot* next = nullptr;
            const auto found = [&] {
                const auto open =
                    std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.taken; });
                next = open == slots_.end() ? nullptr : &*open;
                return next || closing_;
            };
            if (!found()) {
                ++idleWorkers_;
                ready_.wait(lock, found);
                --idleWorkers_;
            }
            if (closing_)
                return; // items not begun are dropped: nothing will deliver them
            next->taken = true;
            lock.unlock();
            std::optional<Result> result;
            std::exception_ptr failure;
            try {
                result.emplace(work_(next->item));
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            next->result = std::move(result);
            next->failure = failure;
            // Only the oldest result lets the owner go on.
            if (ownerWaiting_ && next == &slots_.front())
                done_.notify_one();
        }
    }

    Work work_;
    Deliver deliver_;
    std::size_t window_;
    std::mutex mutex_;
    std::condition_variable ready_; // an item came, or the work closes
    std::condition_variable done_;  // a result is in
    std::deque<Slot> slots_;        // undelivered items, in the order given
    bool closing_ = false;
    std::size_t idleWorkers_ = 0; // waiting for an item
    bool ownerWaiting_ = false;   // waiting for the oldest result
    std::vector<std::thread> threads_;
};

} // namespace gb

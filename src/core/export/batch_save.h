#pragma once
// Batch saves: every catalogue row's icon written to its own file, as ICO or
// BMP, in colour or gray, named prefix + "_Icon" + n + ".ico" or
// prefix + "_bmp" + n + ".bmp" with n the row's position at the time of the
// save. A file that cannot be written is counted and the batch goes on; the
// report says how many were written and failed, and why the first failed.

#include "core/export/batch_names.h"
#include "core/icons/rgba_image.h"
#include "core/imagefiles/atomic_file.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace gb {

struct BatchJob {
    BatchKind kind = BatchKind::Ico; // Ico or Bmp
    bool gray = false;
    std::vector<SharedImage>
        icons;          // one per row, in row order, already at the chosen size; shared, not copied
    std::string prefix; // checked with checkPrefix before
    std::string folder; // the output folder ("icons" or "bmps")
};

struct BatchReport {
    std::size_t written = 0;
    std::size_t failed = 0;
    std::string firstFailure;     // "path: reason", for programmers and scripts
    std::string firstFailedPath;  // the file that failed first
    WriteFailure firstWriteError; // and why
    bool cancelled = false;       // ended early; the files not reached are neither written nor failed
};

// Gray icons go in two passes, as the window reports them: all icons are
// converted first, then all are saved.
enum class BatchPass { Converting, Saving };

using BatchProgress = std::function<void(BatchPass pass, std::size_t done, std::size_t total)>;

// A batch ends before the next icon once `cancelled` is set; every file
// written so far is whole.
BatchReport runBatch(const BatchJob& job, const BatchProgress& progress = {},
                     const std::atomic<bool>* cancelled = nullptr);

// A batch run on a worker thread; the window reads its progress as often as
// it repaints, so it stays responsive without handling events per pixel.
class BackgroundBatch {
public:
    struct State {
        BatchPass pass = BatchPass::Saving;
        std::size_t done = 0, total = 0;
        bool finished = false;
        BatchReport report; // complete once finished
    };

    BackgroundBatch() = default;
    ~BackgroundBatch();
    BackgroundBatch(const BackgroundBatch&) = delete;
    BackgroundBatch& operator=(const BackgroundBatch&) = delete;

    void start(BatchJob job);
    bool running() const;
    // Ends the batch before its next icon; the destructor does it too, so
    // closing the program does not wait for a long batch.
    void cancel();
    State state() const;

private:
    std::thread worker_;
    mutable std::mutex mutex_;
    State state_;
    bool active_ = false;
    std::atomic<bool> cancelled_{false};
};

} // namespace gb

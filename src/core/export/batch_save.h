#pragma once
// Batch saves: every catalogue row's icon written to its own file, as ICO or
// BMP, in colour or gray, named prefix + "_Icon" + n + ".ico" or
// prefix + "_bmp" + n + ".bmp" with n the row's position at the time of the
// save. A file that cannot be written is counted and the batch goes on (a
// full disk ends it, the files after it counted as failed); the report says
// how many were written and failed, and why the first failed.

#include "core/export/batch_names.h"
#include "core/files/atomic_file.h"
#include "core/icons/rgba_image.h"
#include "core/jobs/background_job.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
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

// The icons are encoded on `workers` threads (0: all cores) and written in
// row order. A batch ends before its next file once a stop is requested;
// every file written so far is whole.
BatchReport runBatch(const BatchJob& job, const BatchProgress& progress, const std::stop_token& stop,
                     unsigned workers = 0);
// The same, ended by a flag read between two files.
BatchReport runBatch(const BatchJob& job, const BatchProgress& progress = {},
                     const std::atomic<bool>* cancelled = nullptr);

// A batch run as a job of its own; the window reads its progress as often
// as it repaints, so it stays responsive without handling events per pixel.
class BackgroundBatch {
public:
    struct Progress {
        BatchPass pass = BatchPass::Saving;
        std::size_t done = 0, total = 0;
    };
    struct State : Progress {
        bool finished = false;
        BatchReport report; // complete once finished
    };

    void start(BatchJob job);
    bool running() const { return job_.running(); }
    // Ends the batch before its next icon; destroying it does too, so
    // closing the program does not wait for a long batch.
    void cancel() { job_.stop(Stop::Now); }
    State state() const;

private:
    BackgroundJob<Progress, BatchReport> job_;
    std::string folder_; // where the running batch writes
};

} // namespace gb

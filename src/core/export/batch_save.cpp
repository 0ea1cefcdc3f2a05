#include "core/export/batch_save.h"

#include "core/export/export_encoding.h"
#include "core/export/export_session.h"
#include "core/imagefiles/gray.h"

#include <unordered_map>

namespace gb {

BatchReport runBatch(const BatchJob& job, const BatchProgress& progress, const std::atomic<bool>* cancelled)
{
    const auto stopped = [cancelled] { return cancelled && cancelled->load(std::memory_order_relaxed); };
    BatchReport result;
    const std::size_t total = job.icons.size();
    const auto report = [&](BatchPass pass, std::size_t done) {
        if (progress)
            progress(pass, done, total);
    };

    // The first pass grays the icons; each file is encoded only when it is
    // written, so no pass holds every encoded file. Rows that share an
    // image (the catalogue stores identical images once) share its gray.
    std::vector<SharedImage> grays;
    const bool twoPasses = job.gray && job.kind == BatchKind::Ico;
    if (twoPasses) {
        grays.reserve(total);
        std::unordered_map<const RgbaImage*, SharedImage> grayOf;
        for (std::size_t n = 1; n <= total; ++n) {
            if (stopped()) {
                result.cancelled = true;
                return result;
            }
            SharedImage& gray = grayOf[job.icons[n - 1].get()];
            if (!gray)
                gray = std::make_shared<const RgbaImage>(grayImage(*job.icons[n - 1]));
            grays.push_back(gray);
            report(BatchPass::Converting, n);
        }
    }

    // Failures in the order of the files, whichever step found them.
    std::size_t firstFailed = total + 1;
    const auto failed = [&](std::size_t n, const std::string& path, const WriteFailure& error) {
        ++result.failed;
        if (n < firstFailed) {
            firstFailed = n;
            result.firstFailure = path + ": " + error.message;
            result.firstFailedPath = path;
            result.firstWriteError = error;
        }
    };
    ExportSession session([&](const ExportFile& file, const std::expected<void, WriteFailure>& written) {
        if (written)
            ++result.written;
        else
            failed(file.number, file.path, written.error());
    });

    for (std::size_t n = 1; n <= total; ++n) {
        if (stopped()) {
            result.cancelled = true;
            break;
        }
        const std::vector<std::byte> bytes = twoPasses
                                                 ? encodeBatchIcon(*grays[n - 1], job.kind, false)
                                                 : encodeBatchIcon(*job.icons[n - 1], job.kind, job.gray);
        const std::string path =
            joinPath(job.folder, batchFileName(job.prefix, job.kind, static_cast<int>(n)));
        if (auto staged = session.add(ExportFile{path, n, {}}, bytes); !staged)
            failed(n, path, staged.error());
        report(BatchPass::Saving, n);
    }
    // Also when cancelled: what was written so far goes into place whole.
    session.finish();
    return result;
}

BackgroundBatch::~BackgroundBatch()
{
    cancel();
    if (worker_.joinable())
        worker_.join(); // at most the file being written is let finish
}

void BackgroundBatch::cancel()
{
    cancelled_ = true;
}

void BackgroundBatch::start(BatchJob job)
{
    if (worker_.joinable())
        worker_.join();
    {
        std::lock_guard lock(mutex_);
        state_ = State{};
        state_.total = job.icons.size();
        active_ = true;
    }
    cancelled_ = false;
    worker_ = std::thread([this, job = std::move(job)] {
        BatchReport report = runBatch(
            job,
            [this](BatchPass pass, std::size_t done, std::size_t total) {
                std::lock_guard lock(mutex_);
                state_.pass = pass;
                state_.done = done;
                state_.total = total;
            },
            &cancelled_);
        std::lock_guard lock(mutex_);
        state_.report = std::move(report);
        state_.finished = true;
        active_ = false;
    });
}

bool BackgroundBatch::running() const
{
    std::lock_guard lock(mutex_);
    return active_;
}

BackgroundBatch::State BackgroundBatch::state() const
{
    std::lock_guard lock(mutex_);
    return state_;
}

} // namespace gb

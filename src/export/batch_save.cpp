#include "export/batch_save.h"

#include "platform/imagefiles/atomic_file.h"
#include "platform/imagefiles/bmp_writer.h"
#include "platform/imagefiles/gray.h"
#include "platform/imagefiles/ico_writer.h"

namespace gb {

std::vector<std::byte> encodeBatchIcon(const RgbaImage& icon, BatchKind kind, bool gray)
{
    if (kind == BatchKind::Bmp) // the icon on the button face, grayed as a whole picture
        return gray ? encodeBmp24(grayOnButtonFace(icon)) : encodeIconBmp(icon);
    // ICO files keep the icon's own transparency; gray ones gray the colour only.
    return encodeIco(gray ? grayImage(icon) : icon);
}

BatchReport runBatch(const BatchJob& job, const BatchProgress& progress, const std::atomic<bool>* cancelled)
{
    const auto stopped = [cancelled] { return cancelled && cancelled->load(std::memory_order_relaxed); };
    BatchReport result;
    const std::size_t total = job.icons.size();
    const auto report = [&](BatchPass pass, std::size_t done) {
        if (progress)
            progress(pass, done, total);
    };

    std::vector<std::vector<std::byte>> encoded;
    const bool twoPasses = job.gray && job.kind == BatchKind::Ico;
    if (twoPasses) {
        encoded.reserve(total);
        for (std::size_t n = 1; n <= total; ++n) {
            if (stopped()) {
                result.cancelled = true;
                return result;
            }
            encoded.push_back(encodeBatchIcon(job.icons[n - 1], job.kind, true));
            report(BatchPass::Converting, n);
        }
    }

    for (std::size_t n = 1; n <= total; ++n) {
        if (stopped()) {
            result.cancelled = true;
            break;
        }
        const std::vector<std::byte> bytes =
            twoPasses ? std::move(encoded[n - 1]) : encodeBatchIcon(job.icons[n - 1], job.kind, job.gray);
        const std::string path =
            joinPath(job.folder, batchFileName(job.prefix, job.kind, static_cast<int>(n)));
        if (auto written = writeFileAtomically(path, bytes)) {
            ++result.written;
        } else {
            if (result.failed++ == 0) {
                result.firstFailure = path + ": " + written.error().message;
                result.firstFailedPath = path;
                result.firstWriteError = written.error();
            }
        }
        report(BatchPass::Saving, n);
    }
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

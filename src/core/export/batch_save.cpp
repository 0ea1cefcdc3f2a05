#include "core/export/batch_save.h"

#include "core/export/export_encoding.h"
#include "core/export/export_run.h"
#include "core/imagefiles/gray.h"

#include <mutex>
#include <unordered_map>

namespace gb {

namespace {

// A stored image the rows of a gray ICO batch share, grayed once, when its
// first row is written, and let go after its last.
struct SharedGray {
    std::once_flag grayed;
    SharedImage image;
    std::atomic<std::size_t> rowsLeft{0};
};

SharedImage grayOf(SharedGray& shared, const RgbaImage& icon)
{
    std::call_once(shared.grayed, [&] { shared.image = std::make_shared<const RgbaImage>(grayImage(icon)); });
    SharedImage gray = shared.image;
    // Every row takes its copy before counting itself out, so the last one
    // out lets go of an image nobody reads any more.
    if (shared.rowsLeft.fetch_sub(1, std::memory_order_acq_rel) == 1)
        shared.image.reset();
    return gray;
}

} // namespace

BatchReport runBatch(const BatchJob& job, const BatchProgress& progress, const std::stop_token& stop,
                     unsigned workers)
{
    BatchReport result;
    const std::size_t total = job.icons.size();
    const auto report = [&](BatchPass pass, std::size_t done) {
        if (progress)
            progress(pass, done, total);
    };

    // Gray icon batches go in two passes, as the window reports them. The
    // first counts the rows each stored image stands in (the catalogue
    // stores identical images once); the second grays an image when its
    // first row is written and lets the gray go after its last, and encodes
    // each file only when it is about to be written. So neither pass holds
    // every gray image or every encoded file.
    std::unordered_map<const RgbaImage*, SharedGray> grays;
    const bool twoPasses = job.gray && job.kind == BatchKind::Ico;
    if (twoPasses) {
        for (std::size_t n = 1; n <= total; ++n) {
            if (stop.stop_requested()) {
                result.cancelled = true;
                return result;
            }
            grays[job.icons[n - 1].get()].rowsLeft.fetch_add(1, std::memory_order_relaxed);
            report(BatchPass::Converting, n);
        }
    }

    // The map is complete before any worker looks into it: from here on it
    // is only read, each entry changed through its own once_flag and count.
    std::vector<ExportItem> items;
    items.reserve(total);
    for (std::size_t n = 1; n <= total; ++n) {
        const SharedImage& icon = job.icons[n - 1];
        SharedGray* shared = twoPasses ? &grays.find(icon.get())->second : nullptr;
        items.push_back(ExportItem{
            ExportFile{joinPath(job.folder, batchFileName(job.prefix, job.kind, static_cast<int>(n))), n, {}},
            [&job, &icon, shared]() -> std::expected<std::vector<std::byte>, std::string> {
                if (shared)
                    return encodeBatchIcon(*grayOf(*shared, *icon), job.kind, false);
                return encodeBatchIcon(*icon, job.kind, job.gray);
            },
            0, 0});
    }

    // A file that cannot be written is counted and the batch goes on; a full
    // disk ends it, the files after it counted as not written.
    const ExportReport written =
        ExportRun(ExportPolicy{ExportPolicy::OnFailure::StopAtFullDisk, ExportPolicy::Allowance::None},
                  workers)
            .run(std::move(items), stop,
                 [&](std::size_t done, std::size_t) { report(BatchPass::Saving, done); });
    result.cancelled = written.stopped;
    result.written = written.written();
    result.failed = written.failed();
    if (const ExportResult* first = written.firstFailure()) {
        result.firstFailedPath = first->file.path;
        result.firstWriteError = first->failure;
        result.firstFailure = first->file.path + ": " + first->failure.message;
    }
    return result;
}

BatchReport runBatch(const BatchJob& job, const BatchProgress& progress, const std::atomic<bool>* cancelled)
{
    // The flag is read where the progress is told, between two files.
    std::stop_source source;
    const auto stopIfCancelled = [&] {
        if (cancelled && cancelled->load(std::memory_order_relaxed))
            source.request_stop();
    };
    stopIfCancelled();
    return runBatch(
        job,
        [&](BatchPass pass, std::size_t done, std::size_t total) {
            if (progress)
                progress(pass, done, total);
            stopIfCancelled();
        },
        source.get_token());
}

void BackgroundBatch::start(BatchJob job)
{
    Progress initial;
    initial.total = job.icons.size();
    folder_ = job.folder;
    job_.start(
        [job = std::move(job)](JobContext<Progress>& context) {
            return runBatch(
                job,
                [&context](BatchPass pass, std::size_t done, std::size_t total) {
                    context.update([&](Progress& progress) { progress = Progress{pass, done, total}; });
                },
                context.abandoned());
        },
        initial);
}

BackgroundBatch::State BackgroundBatch::state() const
{
    auto snapshot = job_.snapshot();
    State state;
    static_cast<Progress&>(state) = snapshot.progress;
    state.finished = snapshot.finished;
    if (!snapshot.result)
        return state;
    if (*snapshot.result) {
        state.report = std::move(**snapshot.result);
        return state;
    }
    // The batch broke off (out of memory, say): what it had written is
    // unknown, so every file counts as not written, for the reason it gave.
    state.report.failed = state.total;
    state.report.firstFailedPath = folder_;
    state.report.firstWriteError =
        WriteFailure{0, describeJobFailure(snapshot.result->error()), WriteProblem::Other};
    state.report.firstFailure = folder_ + ": " + state.report.firstWriteError.message;
    return state;
}

} // namespace gb

#include "core/export/export_run.h"

#include "core/export/write_allowance.h"
#include "core/jobs/ordered_work.h"

#include <map>
#include <optional>
#include <utility>

namespace gb {

namespace {

using Contents = std::expected<std::vector<std::byte>, std::string>;

struct Prepared {
    std::size_t index = 0;
    Contents contents;
};

} // namespace

ExportRun::ExportRun(ExportPolicy policy, unsigned workers, StageStep stage)
    : policy_(policy), workers_(workers ? workers : allCores()), stage_(std::move(stage))
{
}

ExportReport ExportRun::run(std::vector<ExportItem> items, std::stop_token stop,
                            const ExportProgress& progress) const
{
    ExportReport report;
    report.files.reserve(items.size());
    for (const ExportItem& item : items)
        report.files.push_back(ExportResult{item.file, ExportOutcome::NotReached, {}, {}});

    ExportSession session({}, stage_);
    std::vector<std::size_t> added; // the items given to the session, in order
    std::map<std::size_t, WriteAllowance> allowances;
    std::size_t done = 0;
    const auto ended = [&] { return report.stopped || report.diskFull; };

    const auto write = [&](Prepared& prepared) {
        const std::size_t i = prepared.index;
        ExportResult& result = report.files[i];
        if (!ended() && stop.stop_requested())
            report.stopped = true;
        if (report.stopped)
            return; // NotReached
        if (report.diskFull) {
            result.outcome = ExportOutcome::NotTried;
        } else if (!prepared.contents) {
            result.outcome = ExportOutcome::NotPrepared;
            result.reason = std::move(prepared.contents.error());
        } else {
            WriteAllowance* allowance = nullptr;
            if (policy_.allowance == ExportPolicy::Allowance::PerInput)
                allowance = &allowances.try_emplace(items[i].input, items[i].inputSize).first->second;
            if (allowance && allowance->spent()) {
                result.outcome = ExportOutcome::OverAllowance;
            } else {
                // The session's report says what became of it, refused or not.
                added.push_back(i);
                if (auto staged = session.add(result.file, *prepared.contents); !staged) {
                    if (staged.error().problem == WriteProblem::Full &&
                        policy_.onFailure == ExportPolicy::OnFailure::StopAtFullDisk)
                        report.diskFull = true;
                } else if (allowance) {
                    allowance->charge(prepared.contents->size());
                }
            }
        }
        ++done;
        if (progress)
            progress(done, items.size());
    };

    {
        OrderedWork<std::size_t, Prepared> work(
            workers_,
            [&items](std::size_t& i) {
                return Prepared{i, items[i].prepare()};
            },
            write);
        for (std::size_t i = 0; i < items.size() && !ended(); ++i) {
            if (stop.stop_requested()) {
                report.stopped = true;
                break;
            }
            work.submit(i);
        }
        work.finish();
    }
    // Files a full disk ended are counted as not written; files a stop
    // ended stay NotReached.
    if (report.diskFull)
        for (ExportResult& result : report.files)
            if (result.outcome == ExportOutcome::NotReached)
                result.outcome = ExportOutcome::NotTried;

    // Also when stopped: what was written so far goes into place whole.
    const ExportReport written = session.finish();
    for (std::size_t at = 0; at < written.files.size(); ++at) {
        ExportResult& result = report.files[added[at]];
        result.outcome = written.files[at].outcome;
        result.failure = written.files[at].failure;
        if (result.outcome == ExportOutcome::NotWritten && result.failure.problem == WriteProblem::Full &&
            policy_.onFailure == ExportPolicy::OnFailure::StopAtFullDisk)
            report.diskFull = true;
    }
    return report;
}

} // namespace gb

#pragma once
// One export run: a list of files to write, their contents made on every
// core, written in the order given through one ExportSession, under one
// policy for failures, and reported file by file in that order. The
// window's batches and the command-line tool's export are its callers; they
// build the list and turn the report into their own texts.
//
// The numbering is the caller's (ExportFile::number) and stays with each
// file whatever order the workers finish in. A stop request ends the run
// between two files: what was written before it goes into place whole, the
// files after it are reported NotReached.

#include "core/export/export_report.h"
#include "core/export/export_session.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace gb {

struct ExportPolicy {
    enum class OnFailure {
        GoOn,           // every file is tried, whatever failed before it
        StopAtFullDisk, // as GoOn, but no space (or quota) ends the run: the rest are NotTried
    };
    enum class Allowance {
        None,     // every file is written
        PerInput, // the files of one input may write a WriteAllowance of its size, and no more
    };
    OnFailure onFailure = OnFailure::StopAtFullDisk;
    Allowance allowance = Allowance::None;
};

// One file of the list. `prepare` runs on a worker thread, any time before
// the file's turn, and is called once; it must not touch what other items'
// preparations touch without its own lock.
struct ExportItem {
    ExportFile file;
    std::function<std::expected<std::vector<std::byte>, std::string>()> prepare;
    std::size_t input = 0;       // the input it comes from, for the allowance
    std::uint64_t inputSize = 0; // that input's size in bytes
};

// Called on the caller's thread after each file's turn: files done, of total.
using ExportProgress = std::function<void(std::size_t done, std::size_t total)>;

class ExportRun {
public:
    // `workers` 0 stands for all cores; `stage` is the session's (a fake in tests).
    explicit ExportRun(ExportPolicy policy, unsigned workers = 0, StageStep stage = stageForGroupSync);

    ExportReport run(std::vector<ExportItem> items, std::stop_token stop = {},
                     const ExportProgress& progress = {}) const;

private:
    ExportPolicy policy_;
    unsigned workers_;
    StageStep stage_;
};

} // namespace gb

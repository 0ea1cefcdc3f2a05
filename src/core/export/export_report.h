#pragma once
// What an export came to, file by file, in the order the files were given:
// each written, or why not. The windows and the command-line tool turn it
// into their own texts and counts.

#include "core/export/export_file.h"
#include "core/files/atomic_file.h"

#include <cstddef>
#include <string>
#include <vector>

namespace gb {

enum class ExportOutcome {
    Written,       // in place, whole
    NotPrepared,   // its contents could not be made (reason)
    NotWritten,    // staging, syncing or renaming failed (failure)
    NotTried,      // the disk was full before its turn: counted, not tried
    OverAllowance, // its input had written all it may
    NotReached,    // the export was stopped before its turn: neither written nor failed
};

struct ExportResult {
    ExportFile file;
    ExportOutcome outcome = ExportOutcome::Written;
    std::string reason;   // why it could not be made, for NotPrepared
    WriteFailure failure; // why it was not written, for NotWritten
};

struct ExportReport {
    std::vector<ExportResult> files; // in the order given
    bool stopped = false;            // a stop request ended the export early
    bool diskFull = false;           // a full disk (or quota) ended it early

    std::size_t count(ExportOutcome outcome) const;
    std::size_t written() const { return count(ExportOutcome::Written); }
    // Every file that should have been written and was not, stopped or not.
    std::size_t failed() const;
    // The first file, in order, that failed to be made or written; null when none.
    const ExportResult* firstFailure() const;
};

} // namespace gb

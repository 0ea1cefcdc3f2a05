#pragma once

#include <cstddef>
#include <string>

namespace gb {

// One file to write: where it goes, and the caller's own marks for it,
// handed back with it in the report.
struct ExportFile {
    std::string path;
    std::size_t number = 0; // the caller's number for it: its row, its icon
    std::string source;     // what it was made from, as the caller names it
};

} // namespace gb

#pragma once
// Why a cursor could not be read: where the reading failed, and in words
// what was wrong (a sequence naming a frame the file lacks, say), for
// scripts and for the windows to put into messages of their own.

#include "core/bytes/read_error.h"

#include <string>

namespace gb {

struct CursorFailure {
    ReadFailure read;
    std::string reason; // empty: the read failure says it all

    friend bool operator==(const CursorFailure&, const CursorFailure&) = default;
};

inline CursorFailure cursorFailure(ReadError error, std::uint64_t offset, std::string reason = {})
{
    return CursorFailure{ReadFailure{error, offset, 0}, std::move(reason)};
}

// "REASON at offset 0xN", or the read failure's own description.
std::string describe(const CursorFailure& failure);

} // namespace gb

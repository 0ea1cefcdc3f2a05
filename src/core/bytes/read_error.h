#pragma once
// Why a file or an icon could not be read. These strings are for programmers
// and scripts; the windows turn the reasons into messages of their own.

#include <cstdint>
#include <string>

namespace gb {

enum class ReadError {
    OpenFailed,     // the file could not be opened or mapped (errno in detail)
    NotRegularFile, // a folder, FIFO, device or socket: never opened for reading
    NotIconSource,  // no PE, NE, ICO/CUR or ANI signature: holds no icons
    Truncated,      // a structure runs past the end of the file
    BadMagic,       // a signature or fixed field has the wrong value
    Overflow,       // a size or offset computation would overflow
    TooDeep,        // a resource tree deeper than the format allows
    TooLarge,       // a count or dimension beyond the limits we accept
    Unsupported,    // a valid but unsupported variant (compression, bit count)
    Missing,        // a group names an image that is not in the file
    OutOfRange,     // an icon index past the count
    Cancelled,      // the reading was abandoned: the search stopped or the program is ending
};

struct ReadFailure {
    ReadError reason = ReadError::Truncated;
    std::uint64_t offset = 0; // where in the file the fault was seen
    int systemError = 0;      // errno for OpenFailed

    friend bool operator==(const ReadFailure&, const ReadFailure&) = default;
};

const char* readErrorName(ReadError reason);
std::string describe(const ReadFailure& failure);

} // namespace gb

#pragma once
// Why a cursor could not be turned into a file. The names are for
// programmers and scripts; the windows and the command-line tool say it in
// their own words.

#include <cstdint>

namespace gb {

// A cursor theme of 17 roles at five sizes with long animations stays far
// below this; a cursor file past it is refused rather than written.
inline constexpr std::uint64_t kMaxCursorFileBytes = 256ull << 20;

enum class CursorWriteError {
    NoImage,     // the cursor, or one of its frames, has no image
    BadSize,     // a size asked for lies outside 1..kMaxIconSide
    BadSequence, // a step names a frame the cursor lacks, or steps and delays differ in number
    TooLarge,    // the file would pass the size we write, or a field of its format
};

const char* cursorWriteErrorName(CursorWriteError error);

} // namespace gb

#include "core/cursors/cursor_write_error.h"

namespace gb {

const char* cursorWriteErrorName(CursorWriteError error)
{
    switch (error) {
    case CursorWriteError::NoImage: return "no image";
    case CursorWriteError::BadSize: return "bad size";
    case CursorWriteError::BadSequence: return "bad sequence";
    case CursorWriteError::TooLarge: return "too large";
    }
    return "unknown";
}

} // namespace gb

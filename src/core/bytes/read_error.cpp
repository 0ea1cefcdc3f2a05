#include "core/bytes/read_error.h"

#include "core/text/system_error_text.h"

#include <cstdio>
#include <cstring>

namespace gb {

const char* readErrorName(ReadError reason)
{
    switch (reason) {
    case ReadError::OpenFailed: return "cannot open";
    case ReadError::NotRegularFile: return "not a regular file";
    case ReadError::NotIconSource: return "not an icon source";
    case ReadError::Truncated: return "truncated";
    case ReadError::BadMagic: return "bad signature";
    case ReadError::Overflow: return "size overflow";
    case ReadError::TooDeep: return "resource tree too deep";
    case ReadError::TooLarge: return "too large";
    case ReadError::Unsupported: return "unsupported format";
    case ReadError::Missing: return "missing image";
    case ReadError::OutOfRange: return "index out of range";
    case ReadError::Cancelled: return "cancelled";
    }
    return "unknown";
}

std::string describe(const ReadFailure& failure)
{
    if (failure.reason == ReadError::OpenFailed) {
        return std::string(readErrorName(failure.reason)) + ": " + systemErrorText(failure.systemError);
    }
    if (failure.reason == ReadError::NotRegularFile || failure.reason == ReadError::NotIconSource)
        return readErrorName(failure.reason);
    char offset[32];
    std::snprintf(offset, sizeof offset, "0x%llx", static_cast<unsigned long long>(failure.offset));
    return std::string(readErrorName(failure.reason)) + " at offset " + offset;
}

} // namespace gb

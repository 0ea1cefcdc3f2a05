#include "core/cursors/cursor_failure.h"

#include <cstdio>

namespace gb {

std::string describe(const CursorFailure& failure)
{
    if (failure.reason.empty())
        return describe(failure.read);
    char offset[32];
    std::snprintf(offset, sizeof offset, "0x%llx", static_cast<unsigned long long>(failure.read.offset));
    return failure.reason + " at offset " + offset;
}

} // namespace gb

#pragma once
// The system's text for an errno value. Files are read and written on worker
// threads, so not strerror, whose buffer every thread shares; the GNU
// strerror_r returns its text, in the buffer or not.

#include <cstring>
#include <string>

namespace gb {

inline std::string systemErrorText(int error)
{
    char text[256] = {};
    return ::strerror_r(error, text, sizeof text);
}

} // namespace gb

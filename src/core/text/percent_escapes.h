#pragma once
// The %-escapes of a URI's path (RFC 3986), undone into the path's own
// bytes: a file name need not be UTF-8, so no decoding as text follows.

#include "core/text/ascii.h"

#include <expected>
#include <string>
#include <string_view>

namespace gb {

enum class PercentProblem {
    BrokenEscape, // "%" without two hexadecimal digits after it
    Nul,          // "%00": no path holds a NUL byte
};

inline std::expected<std::string, PercentProblem> percentDecoded(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            bytes += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? hexDigitValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexDigitValue(text[i + 2]) : -1;
        if (high < 0 || low < 0)
            return std::unexpected(PercentProblem::BrokenEscape);
        const char byte = static_cast<char>(high * 16 + low);
        if (byte == '\0')
            return std::unexpected(PercentProblem::Nul);
        bytes += byte;
        i += 2;
    }
    return bytes;
}

} // namespace gb

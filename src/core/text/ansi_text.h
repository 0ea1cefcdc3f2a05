#pragma once
// Single-byte text of Windows files (NE resource names, the ANSI strings of
// a shortcut) as UTF-8.
// Which code page wrote it is not recorded; Windows-1252, the Western one,
// is what English and Western European programs used.

#include "core/text/utf16_text.h"

#include <string>
#include <string_view>

namespace gb {

inline std::string utf8FromWindows1252(std::string_view text)
{
    // 0x80 to 0x9F; the five bytes the code page leaves undefined map to the
    // C1 controls of the same value, as Windows' own conversion does.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        appendUtf8(out, byte >= 0x80 && byte < 0xA0 ? char32_t{kHigh[byte - 0x80]} : char32_t{byte});
    }
    return out;
}

} // namespace gb

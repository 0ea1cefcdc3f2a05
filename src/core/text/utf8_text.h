#pragma once
// Checks on text that should be UTF-8 but may be any bytes (file names on
// Linux are bytes).

#include <cstddef>
#include <string_view>

namespace gb {

inline bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xc0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of `s` (no
// overlong forms, no surrogates, nothing above U+10FFFF), or 0.
inline std::size_t utf8SequenceLength(std::string_view s)
{
    if (s.empty())
        return 0;
    const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xbf; // the range of the second byte
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    } else {
        return 0;
    }
    if (s.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (!isUtf8Continuation(s[i]))
            return 0;
    return length;
}

inline bool isUtf8(std::string_view s)
{
    while (!s.empty()) {
        const std::size_t length = utf8SequenceLength(s);
        if (length == 0)
            return false;
        s.remove_prefix(length);
    }
    return true;
}

} // namespace gb

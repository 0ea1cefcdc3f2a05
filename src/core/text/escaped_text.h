#pragma once
// Names as fields of a line of text. A file or member name may hold any
// byte but "/" and NUL (a member's name in an archive may hold those too),
// so printed as it is, a line break in it makes a line of its own, a tab a
// field of its own, and an escape sequence speaks to the terminal. Escaped,
// the name stays on its line and in its field, and every byte of it can
// still be read back:
//
//   a backslash                                     "\\"
//   a tab, a line feed, a carriage return           "\t", "\n", "\r"
//   any other byte below 0x20, and 0x7F (DEL)       "\xHH"
//   a C1 control, U+0080 to U+009F, in UTF-8 (a
//   terminal may take U+009B for a control
//   sequence's start)                               "\xc2\xHH"
//   each byte not part of well-formed UTF-8         "\xHH"
//   everything else, UTF-8 included                 as it is
//
// HH is two lower-case hexadecimal digits. The result is always UTF-8, so
// a reader that decodes lines as UTF-8 never meets a byte it cannot decode.

#include "core/text/ascii.h"
#include "core/text/utf8_text.h"

#include <optional>
#include <string>
#include <string_view>

namespace gb {

inline void appendEscapedByte(std::string& out, unsigned char byte)
{
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

inline std::string escapeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.front());
        if (byte >= 0x80) {
            const std::size_t length = utf8SequenceLength(text);
            // C2 80 to C2 9F: U+0080 to U+009F, the C1 controls.
            const bool c1Control = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[1]) < 0xA0;
            if (length == 0 || c1Control) {
                // One byte at a time: the rest of a broken sequence may
                // start a sound one.
                const std::size_t taken = c1Control ? 2 : 1;
                for (std::size_t i = 0; i < taken; ++i)
                    appendEscapedByte(out, static_cast<unsigned char>(text[i]));
                text.remove_prefix(taken);
            } else {
                out.append(text.substr(0, length));
                text.remove_prefix(length);
            }
            continue;
        }
        switch (byte) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            if (isAsciiControl(static_cast<char>(byte)))
                appendEscapedByte(out, byte);
            else
                out += static_cast<char>(byte);
        }
        text.remove_prefix(1);
    }
    return out;
}

// The bytes escapeText was given; none when `text` holds an escape it never
// writes (a lone "\" at the end, "\q", "\x" without two hexadecimal digits).
inline std::optional<std::string> unescapeText(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\': out += '\\'; break;
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'x': {
            const int high = i + 1 < text.size() ? hexDigitValue(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? hexDigitValue(text[i + 2]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            out += static_cast<char>(high * 16 + low);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return out;
}

} // namespace gb

#pragma once
// ASCII case and control characters on byte text. Names on Linux are bytes
// and Windows folds only its own letters in the places copied here (file
// patterns, drive letters, file-name endings), so only A-Z fold; every
// other byte, UTF-8 included, stays as it is, whatever the locale says.

#include <algorithm>
#include <string>
#include <string_view>

namespace gb {

constexpr char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string asciiLowered(std::string_view text)
{
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(), asciiLower);
    return lowered;
}

constexpr bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// C0 controls and DEL: a tab or a line break would split a line or a field.
constexpr bool isAsciiControl(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

constexpr bool holdsControlCharacter(std::string_view text)
{
    return std::ranges::any_of(text, isAsciiControl);
}

// A line of an INI-like file (an INF, an Internet shortcut) without the
// spaces and tabs around it, and a carriage return at its end.
constexpr std::string_view trimmedBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The value of a hexadecimal digit, either case; -1 for any other byte.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace gb

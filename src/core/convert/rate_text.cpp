#include "core/convert/rate_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace gb::convert {

namespace {

bool skipped(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// The characters that matter, the skipped ones left out.
std::string significant(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (!skipped(c))
            out += c;
    return out;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

double radixNumber(std::string_view digits, int radix)
{
    std::uint64_t value = 0;
    bool any = false;
    for (char c : digits) {
        int digit = -1;
        if (isDigit(c))
            digit = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || digit >= radix)
            break;
        any = true;
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFu)
            return std::numeric_limits<double>::infinity(); // past 32 bits: clamped by the caller
    }
    if (!any)
        return 0;
    // Up to 16 bits the value is an Integer, up to 32 bits a Long: the top
    // bit is the sign.
    if (value <= 0xFFFF)
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

double leadingNumber(std::string_view text)
{
    const std::string s = significant(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return radixNumber(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return radixNumber(std::string_view(s).substr(2), 8);
    }

    // The longest prefix of the form [+-]digits[.digits][(E|D)[+-]digits].
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    std::string number;
    bool digits = false;
    while (i < s.size() && isDigit(s[i])) {
        number += s[i++];
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        number += s[i++];
        while (i < s.size() && isDigit(s[i])) {
            number += s[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += s[j++];
        bool exponentDigits = false;
        while (j < s.size() && isDigit(s[j])) {
            exponent += s[j++];
            exponentDigits = true;
        }
        if (exponentDigits)
            number += exponent;
    }
    // from_chars, not strtod: the program runs in the user's locale, whose
    // decimal separator may be a comma.
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large, or too small to tell from 0.
        const bool huge = number.find('e') == std::string::npos || number.find("e-") == std::string::npos;
        value = huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int32_t rateFromText(std::string_view text)
{
    const double value = leadingNumber(text);
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value))
        return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    const double rounded = std::nearbyint(value);
    if (rounded <= low)
        return std::numeric_limits<std::int32_t>::min();
    if (rounded >= high)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

} // namespace gb::convert

#pragma once
// The rate box's text as a number, read the way the converter always read
// it: the number at the start of the text (0 when there is none), rounded
// to a whole number with halves going to the even neighbour. A number
// beyond the 32-bit range is clamped to its end rather than refused.

#include <cstdint>
#include <string_view>

namespace gb::convert {

// The leading number of `text`: spaces, tabs and line feeds are skipped
// wherever they stand ("1 000" is 1000); then an optional sign, digits, one
// decimal point and an exponent (E or D); or &H / &O followed by hex or
// octal digits, which count as 16-bit and then 32-bit signed values
// (&HFFFF is -1). Anything else ends the number.
double leadingNumber(std::string_view text);

std::int32_t rateFromText(std::string_view text);

} // namespace gb::convert

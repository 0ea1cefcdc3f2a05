#pragma once
// Readable failure messages for the core's value types.

#include "core/icons/icon_image.h"

#include <ostream>

namespace gb {

inline void PrintTo(const Rgba& p, std::ostream* os)
{
    *os << "rgba(" << int{p.r} << ", " << int{p.g} << ", " << int{p.b} << ", " << int{p.a} << ")";
}

inline void PrintTo(const ImageHeader& h, std::ostream* os)
{
    *os << h.width << "x" << h.height << "@" << (h.png ? "png" : std::to_string(h.bitDepth));
}

} // namespace gb

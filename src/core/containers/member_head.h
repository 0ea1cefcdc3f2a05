#pragma once
// Whether a member's first bytes are an icon file's or a program's: only
// such members are read whole and handed on.

#include "core/bytes/byte_reader.h"

#include <cstddef>

namespace gb {

// Enough for every sign below: "RIFF", its size, "ACON".
inline constexpr std::size_t kMemberHeadSize = 12;

// A program ("MZ", which PE and NE files start with), an icon or cursor
// file, or an animated cursor.
bool startsLikeIconOrProgram(ByteReader head);

} // namespace gb

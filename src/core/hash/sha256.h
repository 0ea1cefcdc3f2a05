#pragma once
// SHA-256 digests of byte strings, as lowercase hexadecimal: what
// sha256sum prints, so a script can compare a listed image with a file.

#include "core/bytes/byte_reader.h"

#include <string>

namespace gb {

std::string sha256Hex(const ByteReader& bytes);

} // namespace gb

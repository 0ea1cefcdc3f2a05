#pragma once
// The DOS (MZ) header that PE and NE files both start with: its e_lfanew
// field leads to the new header, which starts with the format's signature.

#include "core/bytes/source_reader.h"

#include <cstdint>
#include <optional>
#include <span>

namespace gb {

// Where the new header starts when the file begins with "MZ" and e_lfanew
// leads to `signature`. A small e_lfanew that makes the new header overlap
// the DOS header is legal (packers do it); the loader only needs the
// signature there.
inline std::optional<std::uint64_t> newHeaderOffset(const SourceReader& file,
                                                    std::span<const std::uint8_t> signature)
{
    // IMAGE_DOS_HEADER's e_magic and e_lfanew, by their offsets.
    static constexpr std::uint64_t kEMagic = 0;
    static constexpr std::uint8_t kMz[] = {'M', 'Z'};
    static constexpr std::uint64_t kELfanew = 0x3c;
    if (!file.startsWith(kEMagic, kMz))
        return std::nullopt;
    const auto lfanew = file.u32le(kELfanew);
    if (!lfanew || !file.startsWith(*lfanew, signature))
        return std::nullopt;
    return *lfanew;
}

} // namespace gb

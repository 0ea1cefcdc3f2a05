#include "core/containers/member_head.h"

#include "core/icons/ico_directory.h"

#include <cstdint>

namespace gb {

bool startsLikeIconOrProgram(ByteReader head)
{
    static constexpr std::uint8_t kMz[] = {'M', 'Z'};
    if (head.startsWith(0, kMz))
        return true;
    const MemorySource bytes(head);
    const SourceReader file(bytes);
    return looksLikeIcoFile(file) || looksLikeAniFile(file);
}

} // namespace gb

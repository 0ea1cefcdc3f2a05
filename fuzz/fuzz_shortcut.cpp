// Windows shortcuts (.lnk): the header, LinkInfo, the string data and the
// extra data blocks.
#include "core/shortcuts/shell_link.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = gb::fuzz::readerOf(data, size);
    (void)gb::looksLikeShellLink(bytes);
    if (auto link = gb::readShellLink(bytes)) {
        (void)link->target();
        (void)link->iconFile();
    }
    return 0;
}

// Version resources (VS_VERSIONINFO): the fixed file info and the string tables.
#include "core/version/version_info.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (auto info = gb::readVersionInfo(gb::fuzz::readerOf(data, size))) {
        (void)info->version();
        (void)info->text("FileDescription");
    }
    return 0;
}

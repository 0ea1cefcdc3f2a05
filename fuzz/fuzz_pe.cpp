// PE32/PE32+ resource directories, icon groups and their images.
#include "core/icons/pe_resources.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::fuzz::overBothSources(data, size, [](const gb::ByteSource& file) {
        if (auto set = gb::readPeResources(file))
            gb::fuzz::exerciseResources(file, *set);
    });
    return 0;
}

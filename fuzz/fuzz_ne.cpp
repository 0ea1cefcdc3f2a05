// NE (16-bit) resource tables, icon groups and their images.
#include "core/icons/ne_resources.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::fuzz::overBothSources(data, size, [](const gb::ByteSource& file) {
        if (auto set = gb::readNeResources(file))
            gb::fuzz::exerciseResources(file, *set);
    });
    return 0;
}

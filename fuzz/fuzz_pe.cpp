// PE32/PE32+ resource directories, icon groups and their images.
#include "fuzz/fuzz_common.h"
#include "platform/icons/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto file = gb::fuzz::readerOf(data, size);
    if (auto set = gb::readPeResources(file))
        gb::fuzz::exerciseResources(*set);
    return 0;
}

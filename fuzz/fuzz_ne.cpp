// NE (16-bit) resource tables, icon groups and their images; the last
// input byte picks which group is drawn, and at which size.
#include "core/icons/ne_resources.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto choice = gb::fuzz::DrawChoice::of(data, size);
    gb::fuzz::overBothSources(data, size, [&](const gb::ByteSource& file, bool draw) {
        if (auto set = gb::readNeResources(file))
            gb::fuzz::exerciseResources(file, *set, choice, draw);
    });
    // The whole entry point too, whose drawings go through the file's memo.
    const auto source = gb::IconSource::fromBytes(gb::fuzz::readerOf(data, size));
    if (source.count() > 0)
        (void)source.icon(static_cast<int>(choice.group % static_cast<std::size_t>(source.count())));
    return 0;
}

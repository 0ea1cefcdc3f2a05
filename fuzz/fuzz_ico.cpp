// ICO and CUR files and animated cursors (RIFF ACON).
#include "core/icons/ico_directory.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::fuzz::overBothSources(data, size, [](const gb::ByteSource& file, bool) {
        gb::ReadBudget budget{file.size() * 8};
        if (auto group = gb::readIcoFile(file, &budget))
            gb::fuzz::exerciseGroup(*group);
        if (auto group = gb::readAniFirstFrame(file, &budget))
            gb::fuzz::exerciseGroup(*group);
    });
    // The whole entry point, as the walk uses it.
    const auto source = gb::IconSource::fromBytes(gb::fuzz::readerOf(data, size));
    for (int i = 0; i < source.count() && i < 64; ++i)
        (void)source.icon(i);
    return 0;
}

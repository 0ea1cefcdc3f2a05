// ICO and CUR files and animated cursors (RIFF ACON).
#include "fuzz/fuzz_common.h"
#include "platform/icons/ico_directory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto file = gb::fuzz::readerOf(data, size);
    if (auto group = gb::readIcoFile(file))
        gb::fuzz::exerciseGroup(*group);
    if (auto group = gb::readAniFirstFrame(file))
        gb::fuzz::exerciseGroup(*group);
    // The whole entry point, as the walk uses it.
    const auto source = gb::IconSource::fromBytes(file);
    for (int i = 0; i < source.count() && i < 64; ++i)
        (void)source.icon(i);
    return 0;
}

// Animated cursors (RIFF ACON) and cursor files read as cursors: every
// frame, step and rate, the frames' images drawn with their hot spots.
#include "core/cursors/ani_file.h"
#include "core/cursors/cur_file.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::fuzz::overBothSources(data, size, [](const gb::ByteSource& file, bool) {
        if (auto cursor = gb::readAniFile(file)) {
            // Every step names a frame the cursor holds, with a delay of its own.
            if (cursor->steps.size() != cursor->delaysMs.size())
                __builtin_trap();
            for (const int step : cursor->steps)
                if (step < 0 || static_cast<std::size_t>(step) >= cursor->frames.size())
                    __builtin_trap();
        }
        (void)gb::readCurFile(file);
    });
    return 0;
}

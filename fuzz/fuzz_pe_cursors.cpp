// The cursor resources of PE and NE programs: cursor groups and their
// images with hot spots, animated cursors and animated icons, through the
// entry point the command line uses.
#include "core/cursors/cursor_reader.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::fuzz::overBothSources(data, size, [](const gb::ByteSource& file, bool) {
        if (const auto cursors = gb::readCursors(file))
            for (const gb::FoundCursor& found : *cursors)
                if (found.cursor)
                    for (const gb::CursorFrame& frame : found.cursor->frames)
                        for (const gb::CursorImage& image : frame.images)
                            // A hot spot always lies inside its image.
                            if (image.hotspotX < 0 || image.hotspotX >= image.width || image.hotspotY < 0 ||
                                image.hotspotY >= image.height)
                                __builtin_trap();
    });
    return 0;
}

// glimmerbox-thumbnailer: thumbnails of Windows programs, libraries, icons
// and cursors for the desktop's file managers.

#include "programs/thumbnailer/thumbnail.h"

#include <iostream>
#include <malloc.h>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // One short run that frees and allocates images of a few hundred
    // kilobytes: kept on the heap, freed memory is reused instead of being
    // handed back and faulted in afresh for the next image.
    constexpr int kLargeBlock = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kLargeBlock);
    mallopt(M_TRIM_THRESHOLD, kLargeBlock);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return gb::thumbnailer::runThumbnailer(args, std::cerr);
}

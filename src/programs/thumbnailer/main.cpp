// glimmerbox-thumbnailer: thumbnails of Windows programs, libraries, icons
// and cursors for the desktop's file managers.

#include "programs/thumbnailer/thumbnail.h"

#include <exception>
#include <iostream>
#include <malloc.h>
#include <new>
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
    // Whatever a file does, the program reports and ends with 1 rather than
    // aborting: memory may run out however carefully each reader is bounded.
    try {
        return gb::thumbnailer::runThumbnailer(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "glimmerbox-thumbnailer: out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << "glimmerbox-thumbnailer: " << e.what() << '\n';
    }
    return 1;
}

// glimmerbox-cli: the icon engine for scripts and for people without a display.

#include "programs/cli/cli_commands.h"

#include <iostream>
#include <malloc.h>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Arguments stay bytes: a path that is not valid UTF-8 is used as given.
    // Every PNG written allocates and frees zlib's few hundred kilobytes;
    // without these glibc hands them back to the kernel each time.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);

    std::vector<std::string> args(argv + 1, argv + argc);
    std::ios::sync_with_stdio(false);
    return gb::cli::runCommandLine(args, std::cout, std::cerr);
}

// glimmerbox-cli: the icon engine for scripts and for people without a display.

#include "core/text/escaped_text.h"
#include "programs/cli/cli_commands.h"

#include <exception>
#include <iostream>
#include <malloc.h>
#include <new>
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
    // Whatever a file does, the program reports and ends with 1 rather than
    // aborting: memory may run out however carefully each reader is bounded.
    try {
        return gb::cli::runCommandLine(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        std::cerr << "glimmerbox-cli: out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << "glimmerbox-cli: " << gb::escapeText(e.what()) << '\n';
    }
    return 1;
}

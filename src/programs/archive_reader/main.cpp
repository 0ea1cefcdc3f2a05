// glimmerbox-archive-reader: reads one archive for the program that started
// it, behind limits of its own. Started with the archive open as descriptor
// 3 and a socket to the program as descriptor 4; not meant to be run by hand.
#include "core/containers/archive_service.h"
#include "core/containers/archive_serving.h"

#include <cstdio>

int main(int argc, char** argv)
{
    constexpr int kArchive = 3;
    constexpr int kChannel = 4;
    gb::ReaderProcessLimits limits;
    if (!gb::parseReaderArguments(argc, argv, limits)) {
        std::fputs("glimmerbox-archive-reader: started by Glimmerbox's programs, not by hand\n", stderr);
        return 2;
    }
    // Nothing is read before the limits hold.
    if (!gb::fenceThisProcess(limits, kChannel)) {
        std::perror("glimmerbox-archive-reader: cannot set its limits");
        return 3;
    }
    return gb::serveArchive(kArchive, kChannel, limits.allowance);
}

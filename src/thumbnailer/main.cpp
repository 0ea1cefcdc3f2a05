// glimmerbox-thumbnailer: thumbnails of Windows programs, libraries, icons
// and cursors for the desktop's file managers.

#include "thumbnailer/thumbnail.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return gb::thumbnailer::runThumbnailer(args, std::cerr);
}

#pragma once
// Where the running program lies, so it finds the helpers installed or
// built beside it (the archive reader process, the compound file module).

#include <string>

namespace gb {

// The folder of /proc/self/exe; empty when it cannot be read.
std::string folderOfThisProgram();

} // namespace gb

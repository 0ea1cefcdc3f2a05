#pragma once
// Where the running program lies, so it finds the helpers installed or
// built beside it (the archive reader process, the compound file module).

#include <string>
#include <vector>

namespace gb {

// The folder of /proc/self/exe; empty when it cannot be read.
std::string folderOfThisProgram();

// The helper file the environment variable `variable` names when it is set,
// else the first of: `name` beside this program, each of `besideFolders`
// (relative to this program's folder) holding `name`, `installed`. Only a
// file `usable` accepts is returned; empty when there is none.
std::string findHelper(const char* variable, const std::string& name,
                       const std::vector<std::string>& besideFolders, const char* installed,
                       bool (*usable)(const std::string& path));

} // namespace gb

#pragma once
// Where the program keeps its output: the folder of the executable when the
// user may write there (a build folder, a portable copy), otherwise
// $XDG_DATA_HOME/glimmerbox (~/.local/share/glimmerbox). Batch saves go to
// its folders "icons" and "bmps".

#include <string>

namespace gb {

std::string programFolder();
std::string appPath();

inline constexpr const char* kIconFolderName = "icons";
inline constexpr const char* kBitmapFolderName = "bmps";

// Makes "icons" and "bmps" below the folder when nothing of that name is
// there (a file of that name is left alone, and no folder is made).
void ensureOutputFolders(const std::string& folder);

} // namespace gb

#pragma once
// One folder's subfolders and matching files, in the order the Windows
// folder and file lists show them: sorted without regard to case, ties
// broken by the raw bytes. Names are bytes; nothing is decoded.

#include "search/file_pattern.h"

#include <expected>
#include <string>
#include <vector>

namespace gb {

struct FolderListing {
    std::vector<std::string> subfolders; // names; real folders only, never links to folders
    std::vector<std::string> files;      // names of regular files (links to them too) that match
};

// errno when the folder cannot be read.
std::expected<FolderListing, int> listFolder(const std::string& folder, const FilePattern& pattern,
                                             bool withSubfolders);

// Orders names as the lists do.
bool listOrder(const std::string& a, const std::string& b);

// folder + "/" + name, without a doubled separator after a root such as "/".
std::string childPath(const std::string& folder, const std::string& name);

} // namespace gb

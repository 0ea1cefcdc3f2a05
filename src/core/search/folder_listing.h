#pragma once
// One folder's subfolders and matching files, in the order the Windows
// folder and file lists show them: sorted without regard to case, ties
// broken by the raw bytes. Names are bytes; nothing is decoded. The walk
// and the folder chooser both list folders through here.

#include "core/search/file_pattern.h"

#include <expected>
#include <string>
#include <vector>

namespace gb {

struct FolderListing {
    std::vector<std::string> subfolders; // names; real folders only, never links to folders
    std::vector<std::string> files;      // names of regular files (links to them too) that match
};

// The folder open as `folderFd` (which stays open); errno when it cannot be
// read. With `containerNames`, files named as containers are listed too,
// whatever the pattern (see hasContainerName).
std::expected<FolderListing, int> listFolderAt(int folderFd, const FilePattern& pattern, bool withSubfolders,
                                               bool containerNames = false);

// A folder the user can open from the folder chooser.
struct Subfolder {
    std::string name;
    bool viaLink = false; // a link to a folder, offered under its own name
};

// The subfolders of `folder` in list order, for the folder chooser: real
// folders and links to folders alike. A link is listed so the user can open
// that one folder under the link's name; nothing walks on through it.
// errno when the folder cannot be read.
std::expected<std::vector<Subfolder>, int> listSubfolders(const std::string& folder);

// Opens the subfolder `name` of the folder open as `parentFd`, relative to
// that descriptor and never through a link: a folder swapped for a link
// to another place between listing and opening is not entered. Returns the
// descriptor, or -1 with errno set.
int openSubfolder(int parentFd, const std::string& name);

// Orders names as the lists do.
bool listOrder(const std::string& a, const std::string& b);

// folder + "/" + name, without a doubled separator after a root such as "/".
std::string childPath(const std::string& folder, const std::string& name);

} // namespace gb

#pragma once
// The search's walk over a folder tree (pSearchSub): depth first, each
// folder's subfolders from the last in list order to the first, each walked
// completely, then the folder's own matching files from first to last.
//
// The walk asks whether to go on only at its two poll points: on entering a
// folder, and before descending into a subfolder. Between them it acts on
// the answer it last got, so a stop leaves the same files catalogued as
// the window's own stop click did:
//   - a folder entered after the stop is abandoned at once, and the folder
//     that was descending into it skips its own files;
//   - every other folder still running leaves its subfolder loop and still
//     catalogues its own files on the way out.
// The walk keeps its own stack, so depth is not bounded by the call stack.
// Each subfolder is opened relative to its parent's descriptor and never
// through a link, so a folder swapped for a link after its parent was
// listed is not followed; and each file is opened relative to its own
// folder's descriptor, held while its files are visited, so a file is
// reached however deep it lies (beyond PATH_MAX too) and never through a
// folder on its path that was swapped for a link while the walk was below it.

#include "core/bytes/file_source.h"
#include "core/search/file_pattern.h"

#include <expected>
#include <functional>
#include <string>
#include <vector>

namespace gb {

// Opens subfolder `name` of the folder open as `parentFd`: a descriptor, or
// -1 with errno set. Tests replace it to make a folder fail.
using FolderOpener = std::function<int(int parentFd, const std::string& name)>;

struct WalkOptions {
    bool subfolders = false;
    FilePattern pattern;
    // Containers (archives, disk images, installer packages) are looked
    // inside: files named as containers are visited too, whatever the
    // pattern, and the visitor tells them by their content.
    bool containers = false;
};

// A matching regular file, as the walk hands it on.
struct FoundFile {
    const std::string& path; // folder + "/" + name: the file's key, and its name for people
    int folderFd;            // its folder, open while the visitor has the file
    const std::string& name;

    // Opens it through its folder's descriptor, not by its path.
    std::expected<FileSource, ReadFailure> open() const { return FileSource::openAt(folderFd, name); }
};

class WalkVisitor {
public:
    virtual ~WalkVisitor() = default;
    // A poll point: true to go on, false to stop the search.
    virtual bool poll() = 0;
    virtual void file(const FoundFile& file) = 0;
    // A folder that could not be read; it is skipped alone.
    virtual void unreadableFolder(const std::string& /*path*/, int /*error*/) {}
};

// Walks from `start`; returns when the walk has ended, by itself or stopped.
// Subfolders are opened with `openFolder` (openSubfolder when empty).
void walkFolderTree(const std::string& start, const WalkOptions& options, WalkVisitor& visitor,
                    const FolderOpener& openFolder = {});

// The matching files of the tree below `root` (links to folders never
// followed), at most `most` of them, in list order, paths joined by "/";
// without `subfolders`, those of `root` itself only.
std::vector<std::string> filesBelow(const std::string& root, const FilePattern& pattern, std::size_t most,
                                    bool subfolders = true);

} // namespace gb

#pragma once
// The files of a cursor pack, wherever it lies: a folder on disk, or a
// folder inside a container (a zip, a 7z, a rar ...) read through the one
// container reader, never unpacked. Each file is named as it is stored and
// opened only when a role asks for it.

#include "core/bytes/byte_source.h"
#include "core/containers/container_walk.h"

#include <expected>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gb {

struct PackFile {
    std::string name;  // its name in the folder, as stored
    std::string shown; // where it lies, for the report: "PATH/NAME" or "ARCHIVE//MEMBER"
    // Its bytes, or why they cannot be had (for the report).
    std::function<std::expected<std::shared_ptr<const ByteSource>, std::string>()> open;
};

struct PackFolder {
    std::vector<PackFile> files;    // in name order
    std::vector<std::string> notes; // members the container skipped, and why
};

// One file on disk, opened when asked for.
PackFile fileOnDisk(const std::string& path);

// The regular files directly in `folder` (links to files followed, nothing
// else opened).
PackFolder packOnDisk(const std::string& folder);

// The folder in the container `source` (its path `path`) that holds the
// pack: the first folder with an .inf, else the one with the most .cur and
// .ani files. Only cursor and icon files and .inf texts are read.
PackFolder packInContainer(const std::string& path, const ByteSource& source,
                           const ContainerLimits& limits = {});

// Whether a name ends in .cur or .ani, any case: the files a pack's
// folder is guessed from.
bool hasCursorFileName(const std::string& name);
// Whether a name ends in .inf, any case.
bool hasInfName(const std::string& name);

} // namespace gb

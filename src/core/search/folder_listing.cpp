#include "core/search/folder_listing.h"

#include "core/containers/container_walk.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {

namespace {

// Compared as unsigned bytes, as strcmp compares: a UTF-8 name sorts after
// every ASCII one.
unsigned char folded(char c)
{
    return static_cast<unsigned char>(asciiLower(c));
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

enum class EntryKind { Folder, FolderLink, File, Other };

// What a link leads to; a dangling link leads nowhere.
EntryKind linkKind(int dirFd, const char* name)
{
    struct stat info {};
    if (::fstatat(dirFd, name, &info, 0) != 0)
        return EntryKind::Other;
    if (S_ISDIR(info.st_mode))
        return EntryKind::FolderLink;
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

// Links to files count as the files; links to folders are told apart, as
// the walk never follows them: a Wine prefix links dosdevices/z: to "/",
// and following it would walk the whole disk, forever.
EntryKind kindOf(int dirFd, const dirent& entry)
{
    if (entry.d_type == DT_DIR)
        return EntryKind::Folder;
    if (entry.d_type == DT_REG)
        return EntryKind::File;
    if (entry.d_type == DT_LNK)
        return linkKind(dirFd, entry.d_name);
    if (entry.d_type != DT_UNKNOWN)
        return EntryKind::Other; // FIFO, socket, device: opening could block or never end
    struct stat info {};
    if (::fstatat(dirFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(info.st_mode))
        return linkKind(dirFd, entry.d_name);
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
}

using FolderStream = std::unique_ptr<DIR, DirCloser>;

// A stream over the folder open as `fd`, which it then owns (and closes even
// when no stream can be made); errno when `fd` is -1 or no stream can be made.
std::expected<FolderStream, int> streamOf(int fd)
{
    if (fd < 0)
        return std::unexpected(errno);
    FolderStream dir(::fdopendir(fd));
    if (!dir) {
        const int error = errno;
        ::close(fd);
        return std::unexpected(error);
    }
    return dir;
}

// Calls visit(name, kind) for each entry of the folder that `dir` reads,
// but "." and "..". 0, or errno when the folder could not be read to its end.
template <typename Visit> int readEntries(DIR* dir, Visit visit)
{
    const int fd = ::dirfd(dir);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            visit(name, kindOf(fd, *entry));
        errno = 0;
    }
    return errno;
}

} // namespace

bool listOrder(const std::string& a, const std::string& b)
{
    const auto folding = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                      [](char x, char y) { return folded(x) < folded(y); });
    if (folding)
        return true;
    const auto reverse = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                      [](char x, char y) { return folded(x) < folded(y); });
    if (reverse)
        return false;
    return a < b; // equal but for case: raw bytes decide
}

std::string childPath(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

int openSubfolder(int parentFd, const std::string& name)
{
    return ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::expected<FolderListing, int> listFolderAt(int folderFd, const FilePattern& pattern, bool withSubfolders,
                                               bool containerNames)
{
    // The stream owns a duplicate, so the caller's descriptor stays open.
    auto dir = streamOf(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    if (!dir)
        return std::unexpected(dir.error());
    ::rewinddir(dir->get()); // the duplicate shares the caller's position

    FolderListing listing;
    const int error = readEntries(dir->get(), [&](const std::string& name, EntryKind kind) {
        switch (kind) {
        case EntryKind::Folder:
            if (withSubfolders)
                listing.subfolders.push_back(name);
            break;
        case EntryKind::File:
            if (pattern.matches(name) || (containerNames && hasContainerName(name)))
                listing.files.push_back(name);
            break;
        case EntryKind::FolderLink:
        case EntryKind::Other: break;
        }
    });
    if (error != 0)
        return std::unexpected(error);
    std::ranges::sort(listing.subfolders, listOrder);
    std::ranges::sort(listing.files, listOrder);
    return listing;
}

std::expected<std::vector<Subfolder>, int> listSubfolders(const std::string& folder)
{
    // The folder itself may be a link: the chooser opens a link to a folder
    // under its own name.
    auto dir = streamOf(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir)
        return std::unexpected(dir.error());
    std::vector<Subfolder> found;
    const int error = readEntries(dir->get(), [&](const std::string& name, EntryKind kind) {
        if (kind == EntryKind::Folder || kind == EntryKind::FolderLink)
            found.push_back({name, kind == EntryKind::FolderLink});
    });
    if (error != 0)
        return std::unexpected(error);
    std::ranges::sort(found,
                      [](const Subfolder& a, const Subfolder& b) { return listOrder(a.name, b.name); });
    return found;
}

} // namespace gb

#include "core/search/folder_listing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace gb {

namespace {

unsigned char folded(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

enum class EntryKind { Folder, File, Other };

// Links are followed for files but never for folders: a Wine prefix links
// dosdevices/z: to "/", and following it would walk the whole disk, forever.
EntryKind kindOf(int dirFd, const dirent& entry)
{
    struct stat info {};
    if (entry.d_type == DT_DIR)
        return EntryKind::Folder;
    if (entry.d_type == DT_REG)
        return EntryKind::File;
    if (entry.d_type == DT_LNK) {
        if (::fstatat(dirFd, entry.d_name, &info, 0) != 0)
            return EntryKind::Other; // a dangling link
        return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
    }
    if (entry.d_type != DT_UNKNOWN)
        return EntryKind::Other; // FIFO, socket, device: opening could block or never end
    if (::fstatat(dirFd, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::Other;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(info.st_mode)) {
        if (::fstatat(dirFd, entry.d_name, &info, 0) != 0)
            return EntryKind::Other;
        return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
    }
    return S_ISREG(info.st_mode) ? EntryKind::File : EntryKind::Other;
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

std::expected<FolderListing, int> listFolder(const std::string& folder, const FilePattern& pattern,
                                             bool withSubfolders)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(errno);
    auto listing = listFolderAt(fd, pattern, withSubfolders);
    ::close(fd);
    return listing;
}

int openSubfolder(int parentFd, const std::string& name)
{
    return ::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::expected<FolderListing, int> listFolderAt(int folderFd, const FilePattern& pattern, bool withSubfolders)
{
    // The stream owns a duplicate, so the caller's descriptor stays open.
    const int own = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return std::unexpected(errno);
    std::unique_ptr<DIR, DirCloser> dir(::fdopendir(own));
    if (!dir) {
        const int error = errno;
        ::close(own);
        return std::unexpected(error);
    }
    ::rewinddir(dir.get()); // the duplicate shares the caller's position
    const int fd = ::dirfd(dir.get());

    FolderListing listing;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        switch (kindOf(fd, *entry)) {
        case EntryKind::Folder:
            if (withSubfolders)
                listing.subfolders.push_back(name);
            break;
        case EntryKind::File:
            if (pattern.matches(name))
                listing.files.push_back(name);
            break;
        case EntryKind::Other: break;
        }
        errno = 0;
    }
    if (errno != 0)
        return std::unexpected(errno);
    std::ranges::sort(listing.subfolders, listOrder);
    std::ranges::sort(listing.files, listOrder);
    return listing;
}

} // namespace gb

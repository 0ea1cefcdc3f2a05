#include "platform/imagefiles/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace gb {

namespace {

WriteFailure failure(int error, const std::string& what)
{
    return WriteFailure{error, what + ": " + std::strerror(error)};
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return path.substr(0, slash + 1);
}

// A hidden name beside the target, so the rename never crosses file systems.
std::string temporaryName(const std::string& path)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%016llx", static_cast<unsigned long long>(random()));
    return folderOf(path) + ".glimmerbox-" + suffix + ".tmp";
}

} // namespace

std::expected<void, WriteFailure> writeFileAtomically(const std::string& path,
                                                      std::span<const std::byte> contents)
{
    // A write-protected file keeps its content: replacing it by rename
    // would get round the protection the user set.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return std::unexpected(failure(errno, "cannot replace a write-protected file"));

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary = temporaryName(path);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return std::unexpected(failure(errno, "cannot create a file in the folder"));
    }
    if (fd < 0)
        return std::unexpected(failure(EEXIST, "cannot create a temporary file"));

    const auto abandon = [&](int error, const char* what) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return std::unexpected(failure(error, what));
    };
    std::size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return abandon(errno, "cannot write");
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return std::unexpected(failure(error, "cannot write"));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return std::unexpected(failure(error, "cannot replace"));
    }
    return {};
}

} // namespace gb

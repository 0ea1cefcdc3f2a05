#pragma once
// Whether a file was opened, as the kernel saw it: an inotify watch for
// IN_OPEN on the file itself. Opening a file only to look at it (O_PATH)
// raises no such event; opening it to read does, whoever opens it.

#include <cstddef>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>

namespace gb::test {

class OpenWatch {
public:
    explicit OpenWatch(const std::string& path) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        watching_ = fd_ >= 0 && ::inotify_add_watch(fd_, path.c_str(), IN_OPEN) >= 0;
    }
    ~OpenWatch()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    OpenWatch(const OpenWatch&) = delete;
    OpenWatch& operator=(const OpenWatch&) = delete;

    bool watching() const { return watching_; }

    // The opens seen since the last call.
    int opens()
    {
        int seen = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read(fd_, buffer, sizeof buffer)) > 0;)
            for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                seen += (event->mask & IN_OPEN) != 0 ? 1 : 0;
                at += sizeof(inotify_event) + event->len;
            }
        return seen;
    }

private:
    int fd_ = -1;
    bool watching_ = false;
};

} // namespace gb::test

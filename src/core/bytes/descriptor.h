#pragma once
// An open file descriptor, closed when its holder goes: a folder held by the
// walk, a file being read, an archive handed to its reader process.

#include <unistd.h>
#include <utility>

namespace gb {

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }

    void reset()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    int get() const { return fd_; }
    bool open() const { return fd_ >= 0; }
    explicit operator bool() const { return open(); }

private:
    int fd_ = -1;
};

} // namespace gb

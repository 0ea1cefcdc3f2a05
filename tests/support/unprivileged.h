#pragma once
// For tests of permission failures: root may write anywhere, so as root the
// check runs in a child process that has given up root for the user
// "nobody", with the test's folder handed to that user. As any other user it
// simply runs.

#include <filesystem>
#include <functional>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace gb::test {

inline constexpr uid_t kNobody = 65534;
// What asUnprivilegedUser returns when the child could not give up root.
inline constexpr int kCannotDropRoot = 255;

// Runs `check` (whose result must fit in 0..254) without root's privileges
// and returns its result.
inline int asUnprivilegedUser(const std::filesystem::path& folder, const std::function<int()>& check)
{
    if (::geteuid() != 0)
        return check();
    if (::chown(folder.c_str(), kNobody, kNobody) != 0)
        return kCannotDropRoot;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (::lchown(entry.path().c_str(), kNobody, kNobody) != 0)
            return kCannotDropRoot;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(kCannotDropRoot);
        ::_exit(check() & 0xFF);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return kCannotDropRoot;
    return WEXITSTATUS(status);
}

} // namespace gb::test

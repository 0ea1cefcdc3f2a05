#include "programs/cli/name_list.h"

#include "core/bytes/descriptor.h"
#include "core/text/system_error_text.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <span>
#include <unistd.h>

namespace gb::cli {

std::expected<std::vector<std::string>, NameListFailure> readNameList(int fd, NameSeparator separator)
{
    const char end = separator == NameSeparator::Nul ? '\0' : '\n';
    std::vector<std::string> names;
    std::string name;
    std::array<char, 64 * 1024> buffer;
    const auto close = [&]() -> bool {
        if (name.size() > kLongestListedName)
            return false;
        if (!name.empty())
            names.push_back(std::move(name));
        name.clear();
        return true;
    };
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::unexpected(NameListFailure{errno, 0});
        if (got == 0)
            break;
        for (const char c : std::span(buffer.data(), static_cast<std::size_t>(got))) {
            if (c != end) {
                if (name.size() <= kLongestListedName)
                    name.push_back(c);
                continue;
            }
            if (!close())
                return std::unexpected(NameListFailure{0, names.size() + 1});
        }
    }
    if (!close())
        return std::unexpected(NameListFailure{0, names.size() + 1});
    return names;
}

std::expected<std::vector<std::string>, NameListFailure> readNameList(const std::string& file,
                                                                      NameSeparator separator)
{
    if (file == "-")
        return readNameList(STDIN_FILENO, separator);
    const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        return std::unexpected(NameListFailure{errno, 0});
    return readNameList(fd.get(), separator);
}

std::string nameListFailureText(const std::string& file, const NameListFailure& failure)
{
    const std::string shown = file == "-" ? "standard input" : file;
    if (failure.error != 0)
        return "cannot read the list of names " + shown + ": " + systemErrorText(failure.error);
    return shown + ": name " + std::to_string(failure.longName) + " is longer than " +
           std::to_string(kLongestListedName) + " bytes";
}

} // namespace gb::cli

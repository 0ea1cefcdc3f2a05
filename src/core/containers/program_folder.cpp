#include "core/containers/program_folder.h"

#include <cstdlib>
#include <unistd.h>

namespace gb {

std::string folderOfThisProgram()
{
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size())
        return {};
    path.resize(static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

std::string findHelper(const char* variable, const std::string& name,
                       const std::vector<std::string>& besideFolders, const char* installed,
                       bool (*usable)(const std::string& path))
{
    if (const char* given = std::getenv(variable); given != nullptr && *given != '\0')
        return usable(given) ? given : std::string();
    std::vector<std::string> candidates;
    if (const std::string folder = folderOfThisProgram(); !folder.empty()) {
        candidates.push_back(folder + "/" + name);
        for (const std::string& beside : besideFolders) {
            std::string candidate = folder;
            candidate.append("/").append(beside).append("/").append(name);
            candidates.push_back(std::move(candidate));
        }
    }
    if (installed != nullptr)
        candidates.emplace_back(installed);
    for (const std::string& candidate : candidates)
        if (usable(candidate))
            return candidate;
    return {};
}

} // namespace gb

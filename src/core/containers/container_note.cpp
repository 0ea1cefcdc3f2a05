#include "core/containers/container_walk.h"

namespace gb {

std::string describe(const ContainerNote& note)
{
    switch (note.problem) {
    case ContainerProblem::Damaged: return "damaged: " + note.detail;
    case ContainerProblem::Encrypted: return "encrypted, skipped";
    case ContainerProblem::TooLarge: return "larger than " + note.detail + ", skipped";
    case ContainerProblem::Bomb: return "decompresses to more than " + note.detail + ": stopped";
    case ContainerProblem::TooDeep: return "nested deeper than " + note.detail + ", not opened";
    case ContainerProblem::Cancelled: return "cancelled";
    case ContainerProblem::Missing: return "no such member";
    case ContainerProblem::Hostile: return "damaged or hostile: stopped (" + note.detail + ")";
    }
    return "unknown problem";
}

std::string sizeText(std::uint64_t bytes)
{
    constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace gb

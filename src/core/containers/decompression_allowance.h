#pragma once
// How many bytes the containers of one outermost container may still
// decompress. A container of a few kilobytes can expand to gigabytes of
// zeros; bounding the work by the container's own size keeps the time a
// search spends on it proportional to what is on disk.

#include "core/containers/container_walk.h"

#include <cstdint>
#include <limits>

namespace gb {

class DecompressionAllowance {
public:
    explicit DecompressionAllowance(std::uint64_t bytes) : total_(bytes), left_(bytes) {}

    // max(atLeast, size * perContainerByte), without overflow.
    static DecompressionAllowance forContainer(std::uint64_t size, const ContainerLimits& limits)
    {
        const std::uint64_t perByte = limits.perContainerByte;
        const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
        const std::uint64_t bySize = perByte != 0 && size > max / perByte ? max : size * perByte;
        return DecompressionAllowance(bySize > limits.atLeast ? bySize : limits.atLeast);
    }

    // Takes `bytes`; false, from then on, once more was taken than allowed.
    bool take(std::uint64_t bytes)
    {
        taken_ = bytes > std::numeric_limits<std::uint64_t>::max() - taken_
                     ? std::numeric_limits<std::uint64_t>::max()
                     : taken_ + bytes;
        if (bytes > left_) {
            left_ = 0;
            spent_ = true;
        } else {
            left_ -= bytes;
        }
        return !spent_;
    }
    bool spent() const { return spent_; }
    // How much was taken, counting a take past the end in full.
    std::uint64_t taken() const { return taken_; }
    std::uint64_t total() const { return total_; }

private:
    std::uint64_t total_;
    std::uint64_t left_;
    std::uint64_t taken_ = 0;
    bool spent_ = false;
};

} // namespace gb

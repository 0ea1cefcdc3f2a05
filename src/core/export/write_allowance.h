#pragma once
// What the exports of one input file may write. Icons drawn at a fixed size
// cost a few kilobytes each however small their file, so small files get a
// floor; beyond it, a file may write a small multiple of its own size. A
// hostile file whose groups all share one large image would otherwise
// write gigabytes from a few hundred kilobytes.

#include <cstdint>

namespace gb {

class WriteAllowance {
public:
    static constexpr std::uint64_t kPerInputByte = 4;
    static constexpr std::uint64_t kMinBytes = 16ull << 20;

    explicit WriteAllowance(std::uint64_t inputSize)
        : total_(inputSize > (kMinBytes / kPerInputByte) ? inputSize * kPerInputByte : kMinBytes), written_(0)
    {
    }

    // Counts bytes written; the file that crosses the allowance is written
    // whole, and nothing after it.
    void charge(std::uint64_t bytes) { written_ += bytes; }
    bool spent() const { return written_ >= total_; }

    std::uint64_t total() const { return total_; }

private:
    std::uint64_t total_;
    std::uint64_t written_;
};

} // namespace gb

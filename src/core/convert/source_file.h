#pragma once
// Reads a source image whole, refusing what is no regular file (a FIFO would
// block the caller forever) and what is larger than the limits allow.

#include "core/convert/codec_types.h"

#include <cstddef>
#include <expected>
#include <memory>
#include <span>

namespace gb::convert {

class FileBytes {
public:
    FileBytes() = default;
    FileBytes(std::unique_ptr<std::byte[]> data, std::size_t size) : data_(std::move(data)), size_(size) {}

    std::span<const std::byte> bytes() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<std::byte[]> data_;
    std::size_t size_ = 0;
};

std::expected<FileBytes, CodecFailure> readSourceFile(const char* path, const CodecLimits& limits);

} // namespace gb::convert

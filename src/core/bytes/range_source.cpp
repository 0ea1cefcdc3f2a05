#include "core/bytes/range_source.h"

#include "core/bytes/file_source.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace gb {

namespace {

// Memory shared with whatever keeps it alive.
class HeldMemory final : public ByteSource {
public:
    HeldMemory(ByteReader bytes, std::shared_ptr<const void> keeper)
        : view_(bytes), keeper_(std::move(keeper))
    {
    }
    std::uint64_t size() const override { return view_.size(); }
    std::size_t readAt(std::uint64_t offset, std::span<std::byte> out) const override
    {
        return view_.readAt(offset, out);
    }
    std::optional<ByteReader> memory() const override { return view_.memory(); }
    std::shared_ptr<const void> keeper() const override { return keeper_; }

private:
    MemorySource view_;
    std::shared_ptr<const void> keeper_;
};

} // namespace

std::size_t RangeSource::readAt(std::uint64_t offset, std::span<std::byte> out) const
{
    if (offset >= length_)
        return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), length_ - offset));
    return base_->readAt(offset_ + offset, out.first(n));
}

std::optional<ByteReader> RangeSource::memory() const
{
    const auto whole = base_->memory();
    if (!whole)
        return std::nullopt;
    return whole->sub(offset_, length_);
}

std::shared_ptr<const ByteSource> shareSource(const ByteSource& source)
{
    if (const auto bytes = source.memory())
        return std::make_shared<const HeldMemory>(*bytes, source.keeper());
    if (source.descriptor() < 0)
        return nullptr;
    const int fd = ::fcntl(source.descriptor(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    auto file = FileSource::adoptDescriptor(fd); // owns fd, closing it when refused too
    if (!file)
        return nullptr;
    return std::make_shared<const FileSource>(std::move(*file));
}

} // namespace gb

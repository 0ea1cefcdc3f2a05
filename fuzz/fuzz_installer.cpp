// Windows Installer packages: libgsf's compound file reader over our input
// (memory lent as it is, or a file's positioned reads), the stream names
// unpacked, the streams sniffed, capped and read.
#include "core/containers/installer_streams.h"
#include "fuzz/fuzz_common.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Small enough that a seed's streams meet every limit: its icon is under
// the cap and its cabinet over it, and the allowance runs out on inputs
// whose streams share their sectors.
gb::ContainerLimits limitsOf(std::uint8_t spare)
{
    gb::ContainerLimits limits;
    limits.memberCap = std::uint64_t{1} << (8 + (spare & 0x0f)); // 256 bytes to 8 MiB
    limits.perContainerByte = (spare >> 4) & 3;
    limits.atLeast = std::uint64_t{64} << 10;
    return limits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = gb::fuzz::readerOf(data, size);
    const std::uint8_t spare = size == 0 ? 0 : data[size - 1];
    const gb::MemorySource memory(bytes);
    const gb::fuzz::CopyingSource copying(bytes);
    // The spare byte's top bit picks the input libgsf reads through.
    const gb::ByteSource& source = (spare & 0x80) != 0 ? static_cast<const gb::ByteSource&>(copying) : memory;
    const gb::ContainerLimits limits = limitsOf(spare);
    gb::DecompressionAllowance allowance = gb::DecompressionAllowance::forContainer(source.size(), limits);
    (void)gb::walkInstallerStreams(source, limits, allowance, {}, [](const gb::InstallerStream&) {});
    // Names as stored: any units at all.
    std::u16string units(std::min<std::size_t>(size / 2, 64), u'\0');
    std::memcpy(units.data(), data, units.size() * 2);
    (void)gb::unpackStreamName(units);
    return 0;
}

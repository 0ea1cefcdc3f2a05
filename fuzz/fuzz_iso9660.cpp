// The ISO 9660 directory reader: the members an image's records claim, and
// the walk that reads them in place, each extent checked against the image.
#include "core/containers/container_walk.h"
#include "core/containers/iso9660_members.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::fuzz::overBothSources(data, size, [](const gb::ByteSource& source, bool drawn) {
        const auto members = gb::readIso9660Members(source);
        if (!members)
            return;
        gb::ContainerWalk walk;
        walk.limits = gb::ContainerLimits{.memberCap = std::uint64_t{1} << 20,
                                          .perContainerByte = 16,
                                          .atLeast = std::uint64_t{4} << 20,
                                          .depth = 1};
        (void)gb::walkContainer(source, walk, [drawn](gb::ContainerMember member) {
            if (drawn)
                (void)gb::IconSource::fromSource(member.takeSource()).count();
        });
    });
    return 0;
}

// Our readers of containers whose members are stored in place (ISO 9660
// folders, plain tar headers, a stored zip's directory): the members they claim, and the walk that
// reads them in place, each range checked against the container's size.
#include "core/containers/container_walk.h"
#include "core/containers/iso9660_members.h"
#include "core/containers/tar_members.h"
#include "core/containers/zip_members.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::fuzz::overBothSources(data, size, [](const gb::ByteSource& source, bool drawn) {
        const bool iso = static_cast<bool>(gb::readIso9660Members(source));
        const bool tar = static_cast<bool>(gb::readTarMembers(source));
        const bool zip = static_cast<bool>(gb::readStoredZipMembers(source));
        if (!iso && !tar && !zip)
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

// Archives and installer packages: the container walk, and the read of one
// member by its path, with small limits, so that a seed's members and
// nested containers are read, and a bomb stopped, in a moment.
#include "core/containers/container_walk.h"
#include "fuzz/fuzz_common.h"

#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    gb::ContainerWalk walk;
    walk.limits = gb::ContainerLimits{.memberCap = std::uint64_t{1} << 20,
                                      .perContainerByte = 16,
                                      .atLeast = std::uint64_t{4} << 20,
                                      .depth = 2};
    gb::fuzz::overBothSources(data, size, [&walk](const gb::ByteSource& source, bool drawn) {
        std::optional<std::vector<std::string>> first;
        const auto notes = gb::walkContainer(source, walk, [&](gb::ContainerMember member) {
            if (first)
                return;
            first = member.members;
            // The member's bytes as the search reads them.
            if (drawn)
                (void)gb::IconSource::fromSource(member.takeSource()).count();
        });
        for (const gb::ContainerNote& note : notes)
            (void)gb::describe(note);
        if (first)
            (void)gb::readContainerMember(source, *first, walk.limits);
    });
    return 0;
}

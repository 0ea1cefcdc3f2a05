#include "core/sources/source_producer.h"

#include "core/sources/shortcut_source.h"

#include <memory>
#include <utility>

namespace gb {

namespace {

// A source indexed without fault; one whose structure is broken (a count
// of 0 for a reason) is that reason.
std::expected<IconSource, SourceFailure> indexed(std::expected<IconSource, ReadFailure> source)
{
    if (!source)
        return std::unexpected(SourceFailure::of(source.error()));
    if (source->problem())
        return std::unexpected(SourceFailure::of(*source->problem()));
    return std::move(*source);
}

// A member as a source of its own, read into memory or in place: what it
// reads from lives as long as the source does (or, when its icons cannot be
// read, as long as the produced source keeps it).
ProducedSource memberSource(const std::string& path, ContainerMember& member, std::stop_token stop)
{
    IconOrigin origin{path, 0, std::move(member.members)};
    IconSource source = IconSource::fromSource(member.takeSource(), std::move(stop));
    if (const auto& problem = source.problem()) {
        auto failure = SourceFailure::of(*problem);
        return ProducedSource{std::move(origin), std::unexpected(std::move(failure)),
                              std::make_shared<const IconSource>(std::move(source))};
    }
    return ProducedSource{std::move(origin), std::move(source)};
}

void handOn(const std::function<void()>& after)
{
    if (after)
        after();
}

} // namespace

void produceSources(FoundSourceFile found, const SourceWalk& walk, const SourceSink& sink)
{
    if (!found.file) {
        if (found.matched)
            sink(ProducedSource{IconOrigin{found.path, 0},
                                std::unexpected(SourceFailure::of(found.file.error()))});
        return;
    }
    if (!walk.containers || sniffContainer(*found.file) == ContainerKind::None) {
        if (!found.matched)
            return;
        if (walk.shortcuts) {
            if (auto shortcut = shortcutSource(found.path, *found.file, walk.stop)) {
                sink(std::move(*shortcut));
                return;
            }
        }
        sink(ProducedSource{IconOrigin{found.path, 0},
                            indexed(IconSource::open(found.path, std::move(*found.file), walk.stop))});
        return;
    }
    const ContainerWalk members{walk.wanted, walk.limits, walk.containerStop};
    const std::vector<ContainerNote> notes = walkContainer(*found.file, members, [&](ContainerMember member) {
        sink(memberSource(found.path, member, walk.containerStop));
    });
    for (const ContainerNote& note : notes)
        sink(ProducedSource{IconOrigin{found.path, 0, note.members},
                            std::unexpected(SourceFailure::of(note))});
}

void produceSourcesOnCores(FoundSourceFile found, const SourceWalk& walk, unsigned workers,
                           const SourceWork& work)
{
    if (!found.file || !walk.containers || sniffContainer(*found.file) == ContainerKind::None) {
        produceSources(std::move(found), walk,
                       [&work](ProducedSource produced) { handOn(work(std::move(produced))); });
        return;
    }
    const ContainerWalk members{walk.wanted, walk.limits, walk.containerStop};
    const std::vector<ContainerNote> notes =
        walkContainerOnCores(*found.file, members, workers, [&](ContainerMember member) {
            return work(memberSource(found.path, member, walk.containerStop));
        });
    for (const ContainerNote& note : notes)
        handOn(work(ProducedSource{IconOrigin{found.path, 0, note.members},
                                   std::unexpected(SourceFailure::of(note))}));
}

void produceSources(const std::string& path, const SourceWalk& walk, const SourceSink& sink)
{
    produceSources(FoundSourceFile{path, FileSource::open(path), true}, walk, sink);
}

std::expected<IconSource, SourceFailure> openOrigin(const IconOrigin& origin, const ContainerLimits& limits,
                                                    const std::stop_token& stop)
{
    if (origin.shown)
        return indexed(IconSource::open(origin.shown->file, stop));
    if (origin.members.empty())
        return indexed(IconSource::open(origin.path, stop));
    auto file = FileSource::open(origin.path);
    if (!file)
        return std::unexpected(SourceFailure::of(file.error()));
    auto member = readContainerMember(*file, origin.members, limits, stop);
    if (!member)
        return std::unexpected(SourceFailure::of(member.error()));
    return std::move(memberSource(origin.path, *member, stop).source);
}

} // namespace gb

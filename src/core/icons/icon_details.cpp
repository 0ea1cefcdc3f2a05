#include "core/icons/icon_details.h"

#include "core/containers/container_walk.h"
#include "core/icons/decode_memo.h"
#include "core/icons/icon_source.h"
#include "core/icons/stored_images.h"

#include <cerrno>
#include <map>
#include <utility>

namespace gb {

namespace {

std::expected<IconDetails, ReadFailure> detailsOf(std::expected<IconSource, ReadFailure> source, int index,
                                                  const std::stop_token& stop);

// Why a member could not be read, as the reasons of files are told.
ReadFailure readFailureOf(const ContainerNote& note)
{
    switch (note.problem) {
    case ContainerProblem::Cancelled: return ReadFailure{ReadError::Cancelled, 0};
    case ContainerProblem::Encrypted: return ReadFailure{ReadError::Unsupported, 0};
    case ContainerProblem::TooLarge:
    case ContainerProblem::Bomb:
    case ContainerProblem::TooDeep: return ReadFailure{ReadError::TooLarge, 0};
    case ContainerProblem::Missing: return ReadFailure{ReadError::OpenFailed, 0, ENOENT};
    case ContainerProblem::Damaged:
    case ContainerProblem::Hostile: break;
    }
    return ReadFailure{ReadError::Truncated, 0};
}

// A container's member read into memory as a source of its own.
std::expected<IconSource, ReadFailure>
openMember(const std::string& path, const std::vector<std::string>& members, const std::stop_token& stop)
{
    auto file = FileSource::open(path);
    if (!file)
        return std::unexpected(file.error());
    auto member = readContainerMember(*file, members, {}, stop);
    if (!member)
        return std::unexpected(readFailureOf(member.error()));
    return IconSource::fromSource(member->takeSource(), stop);
}

} // namespace

std::expected<IconDetails, ReadFailure> readIconDetails(const std::string& path, int index,
                                                        const std::stop_token& stop)
{
    return detailsOf(IconSource::open(path, stop), index, stop);
}

std::expected<IconDetails, ReadFailure> readIconDetails(const std::string& path,
                                                        const std::vector<std::string>& members, int index,
                                                        const std::stop_token& stop)
{
    if (members.empty())
        return readIconDetails(path, index, stop);
    return detailsOf(openMember(path, members, stop), index, stop);
}

namespace {

std::expected<IconDetails, ReadFailure> detailsOf(std::expected<IconSource, ReadFailure> source, int index,
                                                  const std::stop_token& stop)
{
    const ReadFailure cancelled{ReadError::Cancelled, 0};
    if (!source)
        return std::unexpected(source.error());
    // A stop while indexing leaves the file looking empty: it is no answer.
    if (stop.stop_requested())
        return std::unexpected(cancelled);
    auto group = source->group(index);
    if (!group)
        return std::unexpected(group.error());

    IconDetails details;
    details.group = std::move(*group);
    details.version = source->versionInfo();
    const auto headers = probeGroupEntries(details.group);
    // Hostile groups name one stored image from many entries: it is decoded
    // once, and every decoding is charged to the file's budget of pixels.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::shared_ptr<const RgbaImage>> decoded;
    details.images.reserve(headers.size());
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (stop.stop_requested())
            return std::unexpected(cancelled);
        const GroupEntry& entry = details.group.entries[i];
        StoredImageDetails image{entry.declaredWidth, entry.declaredHeight, headers[i], nullptr};
        if (headers[i]) {
            auto [at, added] = decoded.try_emplace(entry.place());
            const auto pixels = static_cast<std::uint64_t>(headers[i]->width) *
                                static_cast<std::uint64_t>(headers[i]->height);
            if (added && (!details.group.memo || details.group.memo->charge(pixels)))
                if (auto drawn = decodeIconImage(*entry.image))
                    at->second = std::make_shared<const RgbaImage>(std::move(*drawn));
            image.preview = at->second;
        }
        details.images.push_back(std::move(image));
    }
    if (const auto best = thumbnailCandidates(headers, kMaxIconSide); !best.empty())
        details.shownFirst = best.front();
    return details;
}

} // namespace

} // namespace gb

#include "core/containers/container_walk.h"

#include "core/containers/archive_reader.h"
#include "core/containers/container_signature.h"
#include "core/containers/decompression_allowance.h"
#include "core/containers/installer_streams.h"
#include "core/containers/iso9660_members.h"
#include "core/containers/member_head.h"
#include "core/containers/member_name.h"
#include "core/containers/tar_members.h"
#include "core/containers/zip_members.h"
#include "core/jobs/ordered_work.h"

#include <algorithm>
#include <limits>
#include <set>
#include <utility>

namespace gb {

namespace {

using MemberPath = std::vector<std::string>;

MemberPath extended(const MemberPath& path, const std::string& name)
{
    MemberPath longer = path;
    longer.push_back(name);
    return longer;
}

// Reads into `bytes` until it holds `upTo` bytes or the member ends.
std::expected<void, ArchiveFault> readUpTo(ArchiveReader& reader, std::vector<std::byte>& bytes,
                                           std::uint64_t upTo)
{
    constexpr std::size_t kChunk = std::size_t{64} * 1024;
    while (bytes.size() < upTo) {
        const std::size_t had = bytes.size();
        bytes.resize(had + static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, upTo - had)));
        const auto n = reader.read(std::span(bytes).subspan(had));
        if (!n)
            return std::unexpected(n.error());
        bytes.resize(had + *n);
        if (*n == 0)
            break;
    }
    return {};
}

// The members of a container our own readers map whole, stored in place.
std::optional<StoredMembers> storedMembersOf(const ByteSource& source, ContainerSignature signature)
{
    std::expected<StoredMembers, std::string> stored = std::unexpected(std::string());
    if (signature == ContainerSignature::Iso9660)
        stored = readIso9660Members(source);
    else if (signature == ContainerSignature::Tar)
        stored = readTarMembers(source);
    else if (signature == ContainerSignature::Zip)
        stored = readStoredZipMembers(source);
    if (!stored)
        return std::nullopt;
    return std::move(*stored);
}

// One walk from the outermost container in: every member worth reading
// handed on, or, for readContainerMember, the one member a path names.
class Walker {
public:
    Walker(const ContainerWalk& walk, std::uint64_t size, const std::function<void(ContainerMember)>* handOn,
           const MemberPath* sought)
        : walk_(walk), allowance_(DecompressionAllowance::forContainer(size, walk.limits)),
          fence_(ReaderFence::forContainer(size, walk.limits)), handOn_(handOn), sought_(sought)
    {
    }

    void container(const ByteSource& source, const MemberPath& path, int depth)
    {
        const ContainerSignature signature = containerSignature(source);
        if (signature == ContainerSignature::CompoundFile) {
            installer(source, path, depth);
            return;
        }
        // An image, a plain tar or a stored zip our own readers map is read
        // in place; any other goes to the archive reader whole.
        if (auto stored = storedMembersOf(source, signature)) {
            storedMembers(source, *stored, path, depth);
            return;
        }
        if (signature != ContainerSignature::None)
            archive(source, path, depth, signature == ContainerSignature::CompressedStream, false);
    }

    std::vector<ContainerNote> takeNotes() { return std::move(notes_); }
    std::optional<ContainerMember> takeFound() { return std::move(found_); }

private:
    // What an entry may be worth: read when it is an icon file or a
    // program, opened when it is a container.
    struct Interest {
        bool read = false;
        bool open = false;
        bool whatever = false; // the member sought: read whatever it holds
    };

    // Members are chosen by name, except where names are table keys (an
    // installer's cabinets): there their content alone decides. A walk for
    // one member looks only along its path.
    Interest interestIn(const MemberPath& memberPath, bool contentDecides) const
    {
        if (sought_) {
            if (memberPath.size() > sought_->size() ||
                !std::equal(memberPath.begin(), memberPath.end(), sought_->begin()))
                return {};
            if (memberPath.size() == sought_->size())
                return {.read = true, .whatever = true};
            return {.open = true};
        }
        const std::string& name = memberPath.back();
        const std::string last(lastComponent(name));
        if (!contentDecides && walk_.anyContent && walk_.anyContent(last))
            return {.read = true, .whatever = true};
        const bool wanted = contentDecides || !walk_.wanted || walk_.wanted(last);
        return {.read = wanted, .open = hasContainerName(name)};
    }

    void note(MemberPath members, ContainerProblem problem, std::string detail = {})
    {
        notes_.push_back(ContainerNote{std::move(members), problem, std::move(detail)});
    }

    // A member read whole goes to the caller, or is the one sought.
    void deliver(MemberPath members, std::vector<std::byte> bytes)
    {
        deliver(ContainerMember{std::move(members),
                                std::make_shared<const std::vector<std::byte>>(std::move(bytes)),
                                std::nullopt});
    }

    void deliver(ContainerMember member)
    {
        if (sought_) {
            found_ = std::move(member);
            finished_ = true;
        } else if (handOn_ && *handOn_) {
            (*handOn_)(std::move(member));
        }
    }

    // The archive stops here; a spent allowance, a reader process stopped
    // at its limits or a stop request ends the whole walk, with one note.
    void stopArchive(const MemberPath& path, const ArchiveFault& fault)
    {
        note(path, fault.problem, fault.detail);
        if (fault.problem != ContainerProblem::Damaged)
            finished_ = true;
    }

    void archive(const ByteSource& source, const MemberPath& path, int depth, bool compressedStream,
                 bool contentDecides)
    {
        auto reader = ArchiveReader::open(source, allowance_, fence_, walk_.stop);
        if (!reader) {
            // A compressed stream without a tar inside is no container of
            // ours; a zip that libarchive cannot make out is a damaged zip.
            if (!(compressedStream && reader.error().scope == FaultScope::NotAnArchive))
                stopArchive(path, reader.error());
            return;
        }
        // The catalogue refuses a second entry of one origin: the first of
        // two members of one name is the one read.
        std::set<std::string> seen;
        while (!finished_) {
            auto entry = reader->next();
            if (!entry) {
                stopArchive(path, entry.error());
                return;
            }
            if (!*entry)
                return;
            if (!(*entry)->regularFile || (*entry)->name.empty() || !seen.insert((*entry)->name).second)
                continue;
            if (!member(*reader, **entry, extended(path, (*entry)->name), depth, contentDecides)) {
                return;
            }
        }
    }

    // One regular member. False when the archive can be read no further.
    bool member(ArchiveReader& reader, const ArchiveEntry& entry, const MemberPath& memberPath, int depth,
                bool contentDecides)
    {
        const Interest interest = interestIn(memberPath, contentDecides);
        if (!interest.read && !interest.open)
            return true;
        if (entry.encrypted) {
            note(memberPath, ContainerProblem::Encrypted);
            return true;
        }
        const MemberPath path(memberPath.begin(), memberPath.end() - 1);
        std::vector<std::byte> bytes;
        const auto lost = [&](const ArchiveFault& fault) {
            if (fault.scope == FaultScope::Member) {
                note(memberPath, fault.problem, fault.detail);
                return true;
            }
            stopArchive(path, fault);
            return false;
        };
        bool read = interest.whatever;
        if (interest.read && !read) {
            if (auto head = readUpTo(reader, bytes, kMemberHeadSize); !head)
                return lost(head.error());
            read = startsLikeIconOrProgram(ByteReader(bytes));
        }
        if (!read && !interest.open)
            return true;
        if (!read && depth >= walk_.limits.depth) {
            note(memberPath, ContainerProblem::TooDeep, std::to_string(walk_.limits.depth));
            return true;
        }
        // Past the cap, by the header's claim or by what comes out.
        const std::uint64_t cap = walk_.limits.memberCap;
        if (entry.size && *entry.size > cap) {
            note(memberPath, ContainerProblem::TooLarge, sizeText(cap));
            return true;
        }
        const std::uint64_t oneMore = cap == std::numeric_limits<std::uint64_t>::max() ? cap : cap + 1;
        if (auto whole = readUpTo(reader, bytes, oneMore); !whole)
            return lost(whole.error());
        if (bytes.size() > cap) {
            note(memberPath, ContainerProblem::TooLarge, sizeText(cap));
            return true;
        }
        if (read) {
            deliver(memberPath, std::move(bytes));
            return true;
        }
        const auto held = std::make_shared<const std::vector<std::byte>>(std::move(bytes));
        container(MemorySource(held), memberPath, depth + 1);
        return true;
    }

    // The members of a container that stores each in one run of its own
    // bytes: read in place, the container's file shared by all of them.
    void storedMembers(const ByteSource& source, const StoredMembers& members, const MemberPath& path,
                       int depth)
    {
        std::shared_ptr<const ByteSource> shared;
        std::set<std::string> seen; // the first of two members of one name is the one read
        for (const StoredMember& stored : members) {
            if (finished_)
                return;
            if (walk_.stop.stop_requested()) {
                stopArchive(path, ArchiveFault{ContainerProblem::Cancelled, {}, FaultScope::Container});
                return;
            }
            if (stored.name.empty() || !seen.insert(stored.name).second)
                continue;
            const MemberPath memberPath = extended(path, stored.name);
            const Interest interest = interestIn(memberPath, false);
            if (!interest.read && !interest.open)
                continue;
            // The directory's claim is checked before a byte is read.
            if (!source.fits(stored.offset, stored.size)) {
                note(memberPath, ContainerProblem::Damaged, "its data lies past the container's end");
                continue;
            }
            const SliceSource inPlace(source, stored.offset, stored.size);
            bool read = interest.whatever;
            if (interest.read && !read) {
                const auto head =
                    readRange(inPlace, 0, std::min<std::uint64_t>(stored.size, kMemberHeadSize));
                if (!head) {
                    note(memberPath, ContainerProblem::Damaged, "the container ends early");
                    continue;
                }
                read = startsLikeIconOrProgram(ByteReader(*head));
            }
            if (read && !shared)
                shared = shareSource(source);
            if (read && shared) {
                deliver(
                    ContainerMember{memberPath, nullptr, RangeSource(shared, stored.offset, stored.size)});
                continue;
            }
            // A source that can be neither shared nor reopened (a reader of
            // its own making) gives its members copied, as archives do.
            if (!read && !interest.open)
                continue;
            if (!read && depth >= walk_.limits.depth) {
                note(memberPath, ContainerProblem::TooDeep, std::to_string(walk_.limits.depth));
                continue;
            }
            // A container within is read into memory, up to the cap, as an
            // archive's members are. A member read in place has no cap: it
            // costs no more memory than the same file in a folder.
            if (stored.size > walk_.limits.memberCap) {
                note(memberPath, ContainerProblem::TooLarge, sizeText(walk_.limits.memberCap));
                continue;
            }
            auto bytes = readRange(inPlace, 0, stored.size);
            if (!bytes) {
                note(memberPath, ContainerProblem::Damaged, "the container ends early");
                continue;
            }
            if (read) {
                deliver(memberPath, std::move(*bytes));
                continue;
            }
            const auto held = std::make_shared<const std::vector<std::byte>>(std::move(*bytes));
            container(MemorySource(held), memberPath, depth + 1);
        }
    }

    // A Windows Installer package: its cabinets are walked as archives
    // (their members named by the cabinet's stream, then their own key);
    // its other streams are members of their own.
    void installer(const ByteSource& source, const MemberPath& path, int depth)
    {
        // Ends the package's reading early: for a stop request, a spent
        // allowance, or the member sought found.
        std::stop_source halt;
        const std::stop_callback forward(walk_.stop, [&halt] { halt.request_stop(); });
        auto streamNotes = walkInstallerStreams(source, walk_.limits, allowance_, halt.get_token(),
                                                [&](const InstallerStream& stream) {
                                                    if (!finished_)
                                                        installerStream(stream, path, depth);
                                                    if (finished_)
                                                        halt.request_stop();
                                                });
        for (ContainerNote& streamNote : streamNotes) {
            // A stop of our own making was noted when it was made.
            if (streamNote.problem == ContainerProblem::Cancelled && finished_)
                continue;
            // The allowance is the outermost container's: spent, it ends the walk.
            if (streamNote.problem == ContainerProblem::Cancelled ||
                streamNote.problem == ContainerProblem::Bomb)
                finished_ = true;
            MemberPath members = path;
            members.insert(members.end(), streamNote.members.begin(), streamNote.members.end());
            note(std::move(members), streamNote.problem, std::move(streamNote.detail));
        }
    }

    void installerStream(const InstallerStream& stream, const MemberPath& path, int depth)
    {
        if (!stream.bytes)
            return;
        const MemberPath streamPath = extended(path, stream.name);
        const MemorySource bytes(stream.bytes);
        if (stream.cabinet) {
            // A cabinet is the package's own storage, not a container nested
            // in it: its members count at the package's depth.
            if (!sought_ || interestIn(streamPath, true).open)
                archive(bytes, streamPath, depth, false, true);
            return;
        }
        const Interest interest = interestIn(streamPath, true);
        if (interest.whatever || (interest.read && startsLikeIconOrProgram(ByteReader(*stream.bytes)))) {
            if (stream.bytes->size() > walk_.limits.memberCap)
                note(streamPath, ContainerProblem::TooLarge, sizeText(walk_.limits.memberCap));
            else
                deliver(streamPath, *stream.bytes);
        }
    }

    const ContainerWalk& walk_;
    DecompressionAllowance allowance_;
    ReaderFence fence_;
    const std::function<void(ContainerMember)>* handOn_;
    const MemberPath* sought_;
    std::vector<ContainerNote> notes_;
    std::optional<ContainerMember> found_;
    bool finished_ = false; // the member sought found, or the walk stopped
};

} // namespace

std::unique_ptr<ByteSource> ContainerMember::takeSource()
{
    if (inPlace)
        return std::make_unique<RangeSource>(std::move(*inPlace));
    return std::make_unique<MemorySource>(std::move(bytes));
}

std::vector<ContainerNote> walkContainer(const ByteSource& source, const ContainerWalk& walk,
                                         const std::function<void(ContainerMember)>& member)
{
    Walker walker(walk, source.size(), &member, nullptr);
    walker.container(source, {}, 1);
    return walker.takeNotes();
}

std::vector<ContainerNote> walkContainerOnCores(const ByteSource& source, const ContainerWalk& walk,
                                                unsigned workers, const MemberWork& work)
{
    using HandOn = std::function<void()>;
    OrderedWork<ContainerMember, HandOn> pool(
        workers, [&work](ContainerMember& member) { return work(std::move(member)); },
        [](HandOn& handOn) {
            if (handOn)
                handOn();
        },
        std::size_t{std::max(1U, workers)} + 1);
    auto notes =
        walkContainer(source, walk, [&pool](ContainerMember member) { pool.submit(std::move(member)); });
    pool.finish();
    return notes;
}

std::expected<ContainerMember, ContainerNote> readContainerMember(const ByteSource& source,
                                                                  const std::vector<std::string>& members,
                                                                  const ContainerLimits& limits,
                                                                  std::stop_token stop)
{
    const ContainerWalk walk{nullptr, limits, std::move(stop)};
    Walker walker(walk, source.size(), nullptr, &members);
    if (!members.empty())
        walker.container(source, {}, 1);
    if (auto found = walker.takeFound())
        return std::move(*found);
    auto notes = walker.takeNotes();
    if (!notes.empty())
        return std::unexpected(std::move(notes.front()));
    return std::unexpected(ContainerNote{members, ContainerProblem::Missing, {}});
}

} // namespace gb

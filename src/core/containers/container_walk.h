#pragma once
// Containers the search looks inside: archives (zip, 7z, cab, tar with any
// compression, ISO 9660 images, rar), read through libarchive, and Windows
// Installer packages (.msi, .msp: compound files whose Icon and Binary
// streams and embedded cabinets hold files), read through libgsf.
//
// A container is read once, in one pass, its members handed on in the order
// it stores them. Only members worth reading are handed on: a name the
// caller wants whose first bytes are an icon file's or a program's. The
// files of an ISO 9660 image or a plain tar are read in place, only the
// ranges their readers ask for, as files on disk are; other members are read into memory, up to a
// cap; containers within containers are opened to a depth. What is
// decompressed per container is bounded by its size, so a decompression
// bomb stops that container with a reason; an encrypted or damaged member
// is skipped with its reason; nothing is written to disk; a stop request
// ends the container being read.

#include "core/bytes/byte_source.h"
#include "core/bytes/range_source.h"

#include <cstdint>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace gb {

enum class ContainerKind {
    None,      // not a container we open
    Archive,   // anything libarchive reads for us: zip, 7z, cab, tar (any compression), ISO 9660, rar
    Installer, // a compound file: a Windows Installer package or patch
};

// By content, from the source's first bytes (and, for ISO 9660, the volume
// descriptor at 32769); never by name.
ContainerKind sniffContainer(const ByteSource& source);

// Names a container may carry, lower case, for a walk that must decide
// whether to look at a file its pattern does not match:
// .zip .7z .cab .tar .tgz .tbz .tbz2 .txz .tzst .gz .bz2 .xz .zst .lz .lzma
// .iso .rar .msi .msp
bool hasContainerName(const std::string& name);

struct ContainerLimits {
    std::uint64_t memberCap = std::uint64_t{256} << 20; // largest member read into memory
    std::uint64_t perContainerByte = 64; // decompressed bytes allowed per byte of the container...
    std::uint64_t atLeast = std::uint64_t{64} << 20; // ...and never fewer than this
    int depth = 2; // the outermost container is depth 1; a zip on a CD image is 2
    // Archives are read by a process of their own (archive_reader.h). All
    // reader processes of one outermost container together hold at most
    // this much memory (with the program and libraries they start with,
    // under 300 MB)...
    std::uint64_t readerMemory = std::uint64_t{256} << 20;
    // ...and are waited for at most this long: a floor, and so much per
    // 100 MB of the outermost container.
    std::uint64_t readerSecondsAtLeast = 3;
    std::uint64_t readerSecondsPer100MB = 5;
};

enum class ContainerProblem {
    Damaged,   // the container or member cannot be read to its end (detail: the library's message)
    Encrypted, // a member that needs a password: skipped
    TooLarge,  // a member past memberCap: skipped
    Bomb,      // the container decompressed past its allowance: stopped
    TooDeep,   // a container nested deeper than the limit: not opened
    Cancelled, // the stop was requested: stopped
    Missing,   // readContainerMember: no member by that path
    Hostile,   // the archive's reader process passed its memory or time, or died: stopped
};

// A member skipped, or a container stopped, and why.
struct ContainerNote {
    std::vector<std::string> members; // the member's path from the outermost container in; for a
                                      // container stopped, the path of that container (empty: the outermost)
    ContainerProblem problem = ContainerProblem::Damaged;
    std::string detail; // Damaged: the library's message; TooLarge, Bomb: the limit ("256 MiB");
                        // TooDeep: the depth allowed; Hostile: which limit, or how it ended
};

// A member handed on: read whole into memory, or, where its container
// stores it uncompressed in one run (an ISO 9660 image's files), left in
// place and read through the container's own positioned reads (an ISO
// 9660 image's files, a plain tar's).
struct ContainerMember {
    // Its path from the outermost container in: one name per level, each
    // as its container stores it, with "/" between folders, without a
    // leading "/" or "./" and with doubled "/" made single.
    std::vector<std::string> members;
    std::shared_ptr<const std::vector<std::byte>> bytes; // null when read in place
    std::optional<RangeSource> inPlace;                  // its run of the container's bytes

    // Its bytes as a source for the icon readers, whichever way it came.
    // It holds what it reads from, so it may outlive the walk.
    std::unique_ptr<ByteSource> takeSource();
};

struct ContainerWalk {
    // Whether a member is wanted by its name (the last path component):
    // the search's pattern. Installer streams and the files in an
    // installer's cabinets are named by table keys, not file names, so
    // their content alone decides.
    std::function<bool(const std::string& name)> wanted;
    ContainerLimits limits;
    std::stop_token stop;
    // Members read whatever their first bytes are, by name (the last path
    // component): the text files that come with icons or cursors (a cursor
    // pack's install.inf). None: only icon files and programs.
    std::function<bool(const std::string& name)> anyContent = {};
};

// Calls `member` for each member read, in container order, nested
// containers' members in the place of the container. Returns the notes of
// what was skipped or stopped, in order. A source that is no container
// gives nothing.
std::vector<ContainerNote> walkContainer(const ByteSource& source, const ContainerWalk& walk,
                                         const std::function<void(ContainerMember)>& member);

// The same walk with the members' work on several threads: `work` runs for
// each member on any of `workers` threads, in any order, while the walk
// goes on; what it returns runs on the caller's thread in container order,
// before this returns. So an image's members are drawn on every core and
// still handed on as one thread would. At most workers + 1 members are in
// flight.
using MemberWork = std::function<std::function<void()>(ContainerMember member)>;
std::vector<ContainerNote> walkContainerOnCores(const ByteSource& source, const ContainerWalk& walk,
                                                unsigned workers, const MemberWork& work);

// One member, by its path as walkContainer gave it (the details window
// reads an icon anew), by the same one pass and within the same limits.
std::expected<ContainerMember, ContainerNote> readContainerMember(const ByteSource& source,
                                                                  const std::vector<std::string>& members,
                                                                  const ContainerLimits& limits = {},
                                                                  std::stop_token stop = {});

// "damaged: MESSAGE", "encrypted", ... for programmers and the command line.
std::string describe(const ContainerNote& note);

// A limit in bytes as the notes give it: "256 MiB", or "1000 bytes".
std::string sizeText(std::uint64_t bytes);

} // namespace gb

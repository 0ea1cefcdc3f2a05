#pragma once
// Why a source of icons could not be had: the file or member's own bytes
// could not be read (a ReadError), the container around it skipped it or
// stopped (a ContainerProblem), or the file a shortcut draws its icon from
// could not be found (a WinePathProblem). One kind for both, so a member that
// needs a password is told as encrypted and a damaged archive as damaged,
// wherever the failure is shown.

#include "core/bytes/read_error.h"
#include "core/containers/container_walk.h"
#include "core/wine/wine_prefix.h"

#include <optional>
#include <string>

namespace gb {

enum class SourceProblem {
    // Reading the file or member itself.
    OpenFailed,
    NotRegularFile,
    NotIconSource,
    Truncated,
    BadMagic,
    Overflow,
    ResourceTreeTooDeep,
    TooLarge,
    Unsupported,
    MissingImage,
    OutOfRange,
    Cancelled, // the reading or the container's walk was abandoned
    // The container around it.
    Damaged,        // the container cannot be read to its end
    Encrypted,      // the member needs a password
    MemberTooLarge, // the member is past the cap read into memory
    Bomb,           // the container decompressed past its allowance
    NestedTooDeep,  // a container nested deeper than the limit
    NoSuchMember,   // no member by that path (any longer)
    Hostile,        // the archive's reader process passed its limits or died
    // A Windows shortcut's icon: the file it names cannot be found, or is
    // no file that may be opened (detail: which path, and why).
    ShortcutIconNotFound,
};

struct SourceFailure {
    SourceProblem problem = SourceProblem::Damaged;
    // For programmers and the command line: the reading's or the
    // container's own description ("truncated at offset 0x40",
    // "encrypted, skipped").
    std::string detail;
    // The reading's failure in full (offset, errno), when the bytes were
    // read and failed.
    std::optional<ReadFailure> read;

    static SourceFailure of(const ReadFailure& failure);
    static SourceFailure of(const ContainerNote& note);
    static SourceFailure of(const WinePathFailure& failure);

    // The container skipped the member or stopped before it: its bytes were
    // never read. (A shortcut whose icon is not found was read.)
    bool notRead() const { return !read && problem != SourceProblem::ShortcutIconNotFound; }
};

// The detail: what the command line prints after the member's path.
inline const std::string& describe(const SourceFailure& failure)
{
    return failure.detail;
}

} // namespace gb

#include "core/sources/source_failure.h"

namespace gb {

namespace {

SourceProblem problemOf(ReadError reason)
{
    switch (reason) {
    case ReadError::OpenFailed: return SourceProblem::OpenFailed;
    case ReadError::NotRegularFile: return SourceProblem::NotRegularFile;
    case ReadError::NotIconSource: return SourceProblem::NotIconSource;
    case ReadError::Truncated: return SourceProblem::Truncated;
    case ReadError::BadMagic: return SourceProblem::BadMagic;
    case ReadError::Overflow: return SourceProblem::Overflow;
    case ReadError::TooDeep: return SourceProblem::ResourceTreeTooDeep;
    case ReadError::TooLarge: return SourceProblem::TooLarge;
    case ReadError::Unsupported: return SourceProblem::Unsupported;
    case ReadError::Missing: return SourceProblem::MissingImage;
    case ReadError::OutOfRange: return SourceProblem::OutOfRange;
    case ReadError::Cancelled: return SourceProblem::Cancelled;
    }
    return SourceProblem::Damaged;
}

SourceProblem problemOf(ContainerProblem problem)
{
    switch (problem) {
    case ContainerProblem::Damaged: return SourceProblem::Damaged;
    case ContainerProblem::Encrypted: return SourceProblem::Encrypted;
    case ContainerProblem::TooLarge: return SourceProblem::MemberTooLarge;
    case ContainerProblem::Bomb: return SourceProblem::Bomb;
    case ContainerProblem::TooDeep: return SourceProblem::NestedTooDeep;
    case ContainerProblem::Cancelled: return SourceProblem::Cancelled;
    case ContainerProblem::Missing: return SourceProblem::NoSuchMember;
    case ContainerProblem::Hostile: return SourceProblem::Hostile;
    }
    return SourceProblem::Damaged;
}

} // namespace

SourceFailure SourceFailure::of(const ReadFailure& failure)
{
    return SourceFailure{problemOf(failure.reason), describe(failure), failure};
}

SourceFailure SourceFailure::of(const ContainerNote& note)
{
    return SourceFailure{problemOf(note.problem), describe(note), std::nullopt};
}

SourceFailure SourceFailure::of(const WinePathFailure& failure)
{
    return SourceFailure{SourceProblem::ShortcutIconNotFound, describe(failure), std::nullopt};
}

} // namespace gb

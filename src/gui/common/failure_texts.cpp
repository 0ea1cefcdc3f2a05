#include "gui/common/failure_texts.h"
#include "gui/common/path_text.h"

#include <cerrno>

namespace gb::ui {

QString writeReason(WriteProblem problem)
{
    switch (problem) {
    case WriteProblem::FolderMissing: return texts::kFolderMissing;
    case WriteProblem::Denied: return texts::kDenied;
    case WriteProblem::Full: return texts::kDiskFull;
    case WriteProblem::NoNewFiles: return texts::kNoNewFiles;
    case WriteProblem::Other: break;
    }
    return texts::kCannotWrite;
}

QString readReason(const ReadFailure& failure)
{
    switch (failure.reason) {
    case ReadError::OpenFailed:
        switch (failure.systemError) {
        case ENOENT:
        case ENOTDIR: return texts::kFileMissing;
        case EACCES:
        case EPERM: return texts::kNoReadPermission;
        default: return texts::kCannotOpen;
        }
    case ReadError::NotRegularFile: return texts::kNotAFile;
    case ReadError::NotIconSource: return texts::kNoIcons;
    case ReadError::TooLarge: return texts::kTooLarge;
    case ReadError::Unsupported: return texts::kUnsupported;
    case ReadError::OutOfRange: return texts::kIconGone;
    case ReadError::Cancelled: return texts::kReadCancelled;
    case ReadError::Truncated:
    case ReadError::BadMagic:
    case ReadError::Overflow:
    case ReadError::TooDeep:
    case ReadError::Missing: break;
    }
    return texts::kDamaged;
}

QString sourceReason(const SourceFailure& failure)
{
    if (failure.read)
        return readReason(*failure.read);
    switch (failure.problem) {
    case SourceProblem::Encrypted: return texts::kEncrypted;
    case SourceProblem::MemberTooLarge:
    case SourceProblem::NestedTooDeep: return texts::kTooLarge;
    case SourceProblem::NoSuchMember:
    case SourceProblem::ShortcutIconNotFound: return texts::kFileMissing;
    case SourceProblem::Cancelled: return texts::kReadCancelled;
    case SourceProblem::Damaged:
    case SourceProblem::Bomb:
    case SourceProblem::Hostile: break;
    // The reading's own problems come with the reading's failure.
    case SourceProblem::OpenFailed:
    case SourceProblem::NotRegularFile:
    case SourceProblem::NotIconSource:
    case SourceProblem::Truncated:
    case SourceProblem::BadMagic:
    case SourceProblem::Overflow:
    case SourceProblem::ResourceTreeTooDeep:
    case SourceProblem::TooLarge:
    case SourceProblem::Unsupported:
    case SourceProblem::MissingImage:
    case SourceProblem::OutOfRange: break;
    }
    // A damaged container, one that decompresses past its allowance, or one
    // whose reader had to be stopped.
    return texts::kDamaged;
}

QString writeFailureText(const std::string& path, const WriteFailure& failure)
{
    return texts::failedFile(pathText(path), writeReason(failure.problem),
                             QString::fromLocal8Bit(failure.message));
}

QString readFailureText(const std::string& path, const ReadFailure& failure)
{
    return texts::failedFile(pathText(path), readReason(failure), QString::fromLocal8Bit(describe(failure)));
}

QString sourceFailureText(const std::string& path, const SourceFailure& failure)
{
    return texts::failedFile(pathText(path), sourceReason(failure),
                             QString::fromLocal8Bit(describe(failure)));
}

} // namespace gb::ui

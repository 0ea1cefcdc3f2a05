#pragma once
// Finding a file by a name written on Windows, where names differ from what
// is stored only by case: a Windows partition mounted on Linux, a Wine
// prefix, a shortcut's target. Like Wine, each component is matched without
// regard to ASCII case when no entry has exactly that name.
//
// A name written on Windows comes from a file we did not make (a shortcut),
// so a lookup looks before it steps: each component is examined with lstat,
// never opened, and only folders, regular files and links to them are
// passed; a device, FIFO or socket ends the lookup. A fence may also keep it
// inside one folder tree.

#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gb {

// Where a lookup may lead. Both folders are real paths (no links, no "..").
struct LookupFence {
    // The folder tree every step must stay in, links followed; empty: anywhere.
    std::string root;
    // A folder whose links are drives (a Wine prefix's dosdevices): a link
    // met in it is followed wherever it leads, and the tree it leads to is
    // the fence's from there on.
    std::string driveLinks;
};

enum class LookupProblem {
    Missing,         // some component does not exist, or is ".."
    NotFileOrFolder, // a device, FIFO or socket on the way (never opened)
    LeavesFence,     // the base, or a link on the way, lies outside the fence
};

// The entry `name` of `folder`, as stored: `name` itself when it exists,
// else the first entry, in list order, equal to it but for ASCII case.
std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name);

// `relative` ('/' or '\\' between components) followed from `base` one
// component at a time, each found as above; "." and empty components are
// skipped and ".." is refused. The full path (as joined, links kept), or why
// not: every component must be a folder, a regular file or a link to one,
// and inside the fence.
std::expected<std::string, LookupProblem>
lookUpIgnoringCase(const std::string& base, std::string_view relative, const LookupFence& fence = {});

// lookUpIgnoringCase without a fence, none for any problem.
std::optional<std::string> followIgnoringCase(const std::string& base, std::string_view relative);

// The path made absolute (from the working folder) and lexically normal,
// without a trailing "/": "prefix/", "./prefix" and "/home/ana/prefix" are
// one folder, as it is recorded in an entry and compared with it. Links are
// not resolved.
std::string absoluteNormalPath(const std::string& path);

// The names in a folder (without "." and ".."); none when it cannot be listed.
std::optional<std::vector<std::string>> folderEntryNames(const std::string& folder);

// How many folders this thread has listed to find names: a seam for tests
// and benchmarks, which count listings rather than time them.
std::uint64_t folderListingsOnThisThread();

// The real path of a file or folder (links resolved), none when it does not exist.
std::optional<std::string> realPathOf(const std::string& path);

// True when `path` is `root` or lies below it; both real paths.
bool liesWithin(std::string_view path, std::string_view root);

} // namespace gb

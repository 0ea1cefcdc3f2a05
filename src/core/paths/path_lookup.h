#pragma once
// Finding a file by a name written on Windows, where names differ from what
// is stored only by case: a Windows partition mounted on Linux, a Wine
// prefix, a shortcut's target. Like Wine, each component is matched without
// regard to ASCII case when no entry has exactly that name.

#include <optional>
#include <string>
#include <string_view>

namespace gb {

// The entry `name` of `folder`, as stored: `name` itself when it exists,
// else the first entry, in list order, equal to it but for ASCII case.
std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name);

// `relative` ('/' or '\\' between components) followed from `base` one
// component at a time, each found as above; "." and empty components are
// skipped and ".." is refused. The full path, or none when a component is
// missing.
std::optional<std::string> followIgnoringCase(const std::string& base, std::string_view relative);

// True when a and b are equal but for ASCII case.
bool equalIgnoringCase(std::string_view a, std::string_view b);

} // namespace gb

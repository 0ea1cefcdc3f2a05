#pragma once
// The shortcuts a Wine prefix shows its user, where Windows keeps them:
// the user's and the all-users Start Menu, and the user's and the public
// Desktop. A Start Menu shortcut's folder below "Programs" is the submenu
// it appears in.

#include <optional>
#include <string>
#include <vector>

namespace gb {

// At most this many shortcuts are taken from one prefix, and its folders
// are walked no deeper: a prefix is the user's own, but a tree of links
// or a million files should end the walk, not the machine.
inline constexpr std::size_t kMaxPrefixShortcuts = 10000;

// Every shortcut (.lnk, .url) of the four folders, each folder's in list
// order; a folder the prefix lacks is passed over.
std::vector<std::string> prefixShortcuts(const std::string& prefix);

// The Start Menu folder a shortcut lies in, when it lies in one of the
// prefix's two Start Menus: the folders below "Programs" (or below the
// Start Menu itself), "" for one directly in it.
std::optional<std::string> startMenuFolderOf(const std::string& shortcut, const std::string& prefix);

} // namespace gb

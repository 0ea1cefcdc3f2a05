#pragma once
// A Windows shortcut (.lnk), after the Shell Link binary file format: the
// header, the item ID list (skipped within its bounds), LinkInfo's local
// base path, the string data (name, relative path, working folder,
// arguments, icon location) and the environment-variable and icon-
// environment blocks. Only what a launcher needs is kept; every size and
// offset is checked against the bytes there are.
//
// Strings come out as UTF-8: the format's UTF-16 strings as they are, its
// 8-bit ones (in the system's code page, which the file does not name) read
// as Windows-1252 — exact for the ASCII that paths mostly are.

#include "core/bytes/byte_reader.h"
#include "core/bytes/read_error.h"

#include <cstdint>
#include <expected>
#include <optional>
#include <string>

namespace gb {

struct ShellLink {
    std::optional<std::string> localBasePath; // LinkInfo: the target's path on a local volume
    std::optional<std::string> name;          // the description
    std::optional<std::string> relativePath;  // the target relative to the shortcut
    std::optional<std::string> workingFolder;
    std::optional<std::string> arguments;
    std::optional<std::string> iconLocation;      // the icon's file, with environment variables
    std::optional<std::string> environmentTarget; // the target, with environment variables
    std::optional<std::string> iconEnvironment;   // the icon's file, from its own block
    std::int32_t iconIndex = 0;                   // with iconLocation: a position, or minus a resource id

    // The target as Windows starts it: the expanded-environment target, else
    // the local base path, else the relative path.
    std::optional<std::string> target() const;
    // The icon's file as Explorer shows it: the icon-environment block, else
    // the icon location; none when the shortcut names no icon of its own.
    std::optional<std::string> iconFile() const;
};

// Shortcuts are small; larger input is refused unread.
inline constexpr std::uint64_t kMaxShellLinkBytes = 1 << 20;

std::expected<ShellLink, ReadFailure> readShellLink(const ByteReader& bytes);

// True when the bytes begin as a shortcut: the header size 0x4C and the
// shell link class id.
bool looksLikeShellLink(const ByteReader& bytes);

} // namespace gb

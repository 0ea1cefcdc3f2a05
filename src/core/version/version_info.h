#pragma once
// A program's version information (the RT_VERSION resource, VS_VERSIONINFO
// in the PE format documentation): the fixed file info and one string table
// — U.S. English when the file has it, else the first language present.
// Every block's length is checked against its parent's, so a hostile
// resource is read within its own bytes.

#include "core/bytes/byte_reader.h"
#include "core/bytes/read_error.h"

#include <array>
#include <cstdint>
#include <expected>
#include <map>
#include <optional>
#include <string>

namespace gb {

struct VersionInfo {
    // Major, minor, build, revision, from VS_FIXEDFILEINFO.
    std::optional<std::array<std::uint16_t, 4>> fileVersion, productVersion;
    std::string table;                        // the string table's key, e.g. "040904b0"
    std::map<std::string, std::string> texts; // name (FileDescription, ProductName...) to value, UTF-8

    // A text by name, or none when it is missing or empty.
    std::optional<std::string> text(const std::string& name) const;
    // "1.2.3.4" of the file version, or the FileVersion text.
    std::optional<std::string> version() const;
};

std::expected<VersionInfo, ReadFailure> readVersionInfo(const ByteReader& bytes);

} // namespace gb

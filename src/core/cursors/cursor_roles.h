#pragma once
// The seventeen roles of a Windows cursor scheme, in the order a scheme's
// registry value lists them, with the names each goes by: its registry
// value name, its system resource id, the file names cursor packs use for
// it, and the names Linux desktops ask a cursor theme for.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace gb {

enum class CursorRole {
    Arrow,
    Help,
    AppStarting,
    Wait,
    Crosshair,
    IBeam,
    NWPen,
    No,
    SizeNS,
    SizeWE,
    SizeNWSE,
    SizeNESW,
    SizeAll,
    UpArrow,
    Hand,
    Pin,
    Person,
};

inline constexpr std::size_t kCursorRoleCount = 17;

struct CursorRoleNames {
    CursorRole role;
    std::string_view registryName; // the named value of HKCU\Control Panel\Cursors
    std::uint16_t resourceId;      // the OCR_ id of the standard cursor in user32.dll
    // File names (without extension) packs use for the role, matched
    // without regard to case, spaces, "-" and "_".
    std::span<const std::string_view> fileNames;
    // The names a cursor theme gives it: the first is its file, the others
    // links to it. Empty for a role no Linux desktop asks for.
    std::span<const std::string_view> themeNames;
    // The role whose cursor stands in when the source lacks this one; none:
    // the inherited theme's.
    std::optional<CursorRole> fallback;
};

// Every role, in scheme order.
std::span<const CursorRoleNames> cursorRoles();

const CursorRoleNames& namesOf(CursorRole role);

// The role a registry value name (Arrow, IBeam, ...) stands for, any case.
std::optional<CursorRole> roleOfRegistryName(std::string_view name);

// The role a pack's file name (its name without the extension: "Normal
// Select", "busy", "size_ns") suggests.
std::optional<CursorRole> roleOfFileName(std::string_view stem);

// The role of a standard cursor's resource id (32512 arrow ...).
std::optional<CursorRole> roleOfResourceId(std::uint16_t id);

} // namespace gb

#pragma once
// An icon at the sizes its file stores, for the desktops of today: one PNG
// per stored size, and the icon-theme tree hicolor/WxH/apps/NAME.png that a
// launcher's Icon= key finds.

#include "core/export/export_session.h"
#include "core/files/atomic_file.h"
#include "core/icons/icon_group.h"
#include "core/icons/icon_image.h"
#include "core/icons/rgba_image.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gb {

struct NativeImage {
    ImageHeader header;
    RgbaImage pixels; // header.width x header.height
};

struct NativeImages {
    std::vector<NativeImage> images; // one per stored size, in group order
    int undecodable = 0;             // sizes whose image could not be decoded
};

// Of several images of one size, the one Windows draws at that size (the
// deepest colour): a PNG holds every depth, so nothing better is lost.
NativeImages nativeImages(const IconGroup& group);

// prefix + "_png" + n + "_" + W + "x" + H + ".png"
std::string nativePngName(std::string_view prefix, int n, int width, int height);

// Every stored image of a group as a PNG, named by its place in the group
// (index from 0), so two images of one size both keep a file:
// base + "_" + (index + 1) + "_" + W + "x" + H + ".png", or for an image
// that cannot be decoded base + "_" + (index + 1) + "_unreadable.png".
std::string storedPngName(std::string_view base, std::size_t index, int width, int height);
std::string unreadableStoredPngName(std::string_view base, std::size_t index);

// The sizes an icon theme's hicolor tree holds as bitmaps.
inline constexpr std::array<int, 8> kHicolorSizes{16, 22, 24, 32, 48, 64, 128, 256};

// iconsFolder + "/hicolor/SxS/apps/" + name + ".png"
std::string hicolorFile(std::string_view iconsFolder, int size, std::string_view name);

struct HicolorFailure {
    std::string file;
    WriteFailure failure;     // its message says what failed, for programmers and scripts
    bool unencodable = false; // the PNG encoder refused the image (the message says why); nothing was written
};

struct HicolorResult {
    std::vector<std::string> written;     // the files, smallest size first
    std::vector<HicolorFailure> failures; // each file not written
    std::uint64_t bytes = 0;              // written in all
    bool diskFull = false;                // a file found no space left; the sizes after it were not tried
};

// Writes the images of the standard sizes the group stores (square ones
// only) below iconsFolder, making folders as needed, in a session of its own
// that is finished before it returns. The name must pass checkPrefix (the
// caller checks it).
HicolorResult writeHicolorIcons(const NativeImages& icon, std::string_view iconsFolder,
                                std::string_view name);
// The same into the caller's session, which puts the files into place
// with its group and reports each (marked with `number` and `source`):
// `written` holds the files it took, `bytes` their size, `failures` the
// files it never took.
HicolorResult writeHicolorIcons(const NativeImages& icon, std::string_view iconsFolder, std::string_view name,
                                ExportSession& session, std::size_t number = 0, std::string_view source = {});

} // namespace gb

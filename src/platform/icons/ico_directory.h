#pragma once
// Icon and cursor files (.ico, .cur) and animated cursors (.ani, RIFF ACON):
// each counts as one icon whose entries are the images of the file.

#include "platform/icons/icon_group.h"
#include "platform/icons/read_error.h"

#include <expected>

namespace gb {

bool looksLikeIcoFile(const ByteReader& file);
bool looksLikeAniFile(const ByteReader& file);

std::expected<IconGroup, ReadFailure> readIcoFile(const ByteReader& file);
// The first frame of an animated cursor, itself an ICO/CUR file.
std::expected<IconGroup, ReadFailure> readAniFirstFrame(const ByteReader& file);

} // namespace gb

#pragma once
// Icon and cursor files (.ico, .cur) and animated cursors (.ani, RIFF ACON):
// each counts as one icon whose entries are the images of the file.

#include "core/bytes/read_error.h"
#include "core/bytes/source_reader.h"
#include "core/icons/icon_group.h"

#include <expected>

namespace gb {

bool looksLikeIcoFile(const SourceReader& file);
bool looksLikeAniFile(const SourceReader& file);

// Images are read from `source`, within `budget` when one is given.
std::expected<IconGroup, ReadFailure> readIcoFile(const ByteSource& source, ReadBudget* budget = nullptr);
// The first frame of an animated cursor, itself an ICO/CUR file.
std::expected<IconGroup, ReadFailure> readAniFirstFrame(const ByteSource& source,
                                                        ReadBudget* budget = nullptr);

} // namespace gb

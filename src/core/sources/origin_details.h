#pragma once
// The details of one catalogued icon, read again from where it came: its
// file, or its member inside containers. What the details window shows.

#include "core/catalogue/icon_origin.h"
#include "core/icons/icon_details.h"
#include "core/sources/source_failure.h"

#include <expected>
#include <stop_token>

namespace gb {

// Fails as openOrigin does (the file gone, the member gone or skipped, with
// the container's reason), or as readIconDetails does (no longer holding
// that icon, Cancelled once `stop` is requested).
std::expected<IconDetails, SourceFailure> readOriginDetails(const IconOrigin& origin,
                                                            const std::stop_token& stop = {});

} // namespace gb

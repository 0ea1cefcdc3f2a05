#pragma once
// Icon resources of PE32 and PE32+ files (.exe, .dll, .ocx, .cpl, .mun, ...),
// read from the resource directory the way the Windows loader maps it.

#include "core/bytes/source_reader.h"
#include "core/icons/resource_set.h"

namespace gb {

// True when the bytes start with an MZ header whose e_lfanew leads to "PE\0\0".
bool looksLikePe(const SourceReader& file);

// A PE without a resource section has no icons: an empty set, not an error.
// The work is linear in the file's size, however its directories point.
std::expected<ResourceSet, ReadFailure> readPeResources(const ByteSource& source,
                                                        const ReadControl& control = {});
// The same through a reader the caller already holds, sharing its cache.
std::expected<ResourceSet, ReadFailure> readPeResources(const SourceReader& file,
                                                        const ReadControl& control = {});

} // namespace gb

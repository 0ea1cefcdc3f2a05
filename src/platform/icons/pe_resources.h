#pragma once
// Icon resources of PE32 and PE32+ files (.exe, .dll, .ocx, .cpl, .mun, ...),
// read from the resource directory the way the Windows loader maps it.

#include "platform/icons/resource_set.h"

namespace gb {

// True when the bytes start with an MZ header whose e_lfanew leads to "PE\0\0".
bool looksLikePe(const ByteReader& file);

// A PE without a resource section has no icons: an empty set, not an error.
std::expected<ResourceSet, ReadFailure> readPeResources(const ByteReader& file);

} // namespace gb

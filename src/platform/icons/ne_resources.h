#pragma once
// Icon resources of 16-bit NE executables, from the NE resource table.

#include "platform/icons/resource_set.h"

namespace gb {

bool looksLikeNe(const ByteReader& file);
std::expected<ResourceSet, ReadFailure> readNeResources(const ByteReader& file);

} // namespace gb

#pragma once
// Icon resources of 16-bit NE executables, from the NE resource table.

#include "core/bytes/source_reader.h"
#include "core/icons/resource_set.h"

namespace gb {

bool looksLikeNe(const SourceReader& file);
// Groups come in the order the resource table stores them: Windows and Wine
// enumerate 16-bit resources in table order, which need not be sorted.
std::expected<ResourceSet, ReadFailure> readNeResources(const ByteSource& source,
                                                        const ReadControl& control = {});
// The same through a reader the caller already holds, sharing its cache.
std::expected<ResourceSet, ReadFailure> readNeResources(const SourceReader& file,
                                                        const ReadControl& control = {});

} // namespace gb

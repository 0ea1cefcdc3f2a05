#pragma once
// Shared by the fuzz targets: drive a reader through everything a caller
// does with it, so every path of untrusted bytes is exercised.

#include "platform/icons/icon_source.h"
#include "platform/imagefiles/ico_writer.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace gb::fuzz {

inline ByteReader readerOf(const std::uint8_t* data, std::size_t size)
{
    return ByteReader(std::as_bytes(std::span(data, size)));
}

inline void exerciseGroup(const IconGroup& group)
{
    (void)extractIcon(group);
    (void)encodeOriginalIco(group);
}

inline void exerciseResources(const ResourceSet& set)
{
    for (const ResourceBlob& blob : set.groups)
        exerciseGroup(resolveGroup(blob, set.icons));
}

} // namespace gb::fuzz

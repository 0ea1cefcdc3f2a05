#pragma once
// Building blocks for the malformed set: locating a structure in a fixture
// and breaking it in one place.

#include "byte_sink.h"

#include <cstdint>
#include <string_view>

namespace gbfix {

// The first `size` bytes.
Bytes cut(const Bytes& file, std::size_t size);

// ICO/CUR files.
std::size_t icoEntryAt(std::size_t index); // the 16-byte ICONDIRENTRY
std::size_t icoImageAt(const Bytes& ico, std::size_t index);
std::size_t icoImageSize(const Bytes& ico, std::size_t index);
// A well-formed ICO holding only entry `index` of another.
Bytes singleEntryIco(const Bytes& ico, std::size_t index);

// PNG chunks: the offset of the first chunk of `type` (its length field).
std::size_t pngChunkAt(const Bytes& file, std::size_t pngAt, std::string_view type);
// Recomputes a chunk's CRC after its type or data changed.
void fixPngCrc(Bytes& file, std::size_t chunkAt);

// RIFF chunks between `from` and `end`: the offset of the first with this id
// (and, for "LIST", this list type).
std::size_t riffChunkAt(const Bytes& file, std::size_t from, std::size_t end, std::string_view id,
                        std::string_view listType = {});

// NE files: the offset of the NE header and of the resource table.
struct NeLayout {
    std::size_t header = 0;
    std::size_t table = 0;
    std::size_t tableEnd = 0;  // past the names
    std::size_t firstData = 0; // the lowest resource offset
};
NeLayout readNeLayout(const Bytes& file);

// The resources of a PE32 file moved into a minimal PE32 whose NT headers
// start at offset 4, inside the DOS header. Such a file only maps with
// section and file alignment equal (4 here), RVA == file offset; Windows
// loads it.
Bytes peWithHeadersAt4(const Bytes& pe32);

} // namespace gbfix

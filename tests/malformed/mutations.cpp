#include "mutations.h"

#include "pe_layout.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace gbfix {

namespace {

bool idAt(const Bytes& file, std::size_t at, std::string_view id)
{
    if (at + id.size() > file.size())
        return false;
    return std::equal(id.begin(), id.end(), file.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

std::uint32_t crc32(const Bytes& bytes, std::size_t from, std::size_t to)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = from; i < to; ++i)
        c = table[(c ^ bytes.at(i)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t getBe32(const Bytes& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b.at(at)) << 24 | static_cast<std::uint32_t>(b.at(at + 1)) << 16 |
           static_cast<std::uint32_t>(b.at(at + 2)) << 8 | b.at(at + 3);
}

} // namespace

Bytes cut(const Bytes& file, std::size_t size)
{
    if (size >= file.size())
        throw std::logic_error("cut point past the end");
    return Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
}

std::size_t icoEntryAt(std::size_t index)
{
    return 6 + 16 * index;
}

std::size_t icoImageAt(const Bytes& ico, std::size_t index)
{
    return get32(ico, icoEntryAt(index) + 12);
}

std::size_t icoImageSize(const Bytes& ico, std::size_t index)
{
    return get32(ico, icoEntryAt(index) + 8);
}

Bytes singleEntryIco(const Bytes& ico, std::size_t index)
{
    ByteSink out;
    out.u16(0);
    out.u16(get16(ico, 2));
    out.u16(1);
    const std::size_t entry = icoEntryAt(index);
    out.bytes.insert(out.bytes.end(), ico.begin() + static_cast<std::ptrdiff_t>(entry),
                     ico.begin() + static_cast<std::ptrdiff_t>(entry + 8));
    const std::size_t at = icoImageAt(ico, index), size = icoImageSize(ico, index);
    out.u32(static_cast<std::uint32_t>(size));
    out.u32(22);
    out.bytes.insert(out.bytes.end(), ico.begin() + static_cast<std::ptrdiff_t>(at),
                     ico.begin() + static_cast<std::ptrdiff_t>(at + size));
    return out.bytes;
}

std::size_t pngChunkAt(const Bytes& file, std::size_t pngAt, std::string_view type)
{
    std::size_t at = pngAt + 8; // past the signature
    while (at + 8 <= file.size()) {
        if (idAt(file, at + 4, type))
            return at;
        at += 12 + getBe32(file, at);
    }
    throw std::runtime_error("PNG chunk not found");
}

void fixPngCrc(Bytes& file, std::size_t chunkAt)
{
    const std::size_t length = getBe32(file, chunkAt);
    const std::uint32_t crc = crc32(file, chunkAt + 4, chunkAt + 8 + length);
    const std::size_t at = chunkAt + 8 + length;
    for (int i = 0; i < 4; ++i)
        file.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

std::size_t riffChunkAt(const Bytes& file, std::size_t from, std::size_t end, std::string_view id,
                        std::string_view listType)
{
    std::size_t at = from;
    while (at + 8 <= end) {
        if (idAt(file, at, id) && (listType.empty() || idAt(file, at + 8, listType)))
            return at;
        const std::size_t size = get32(file, at + 4);
        at += 8 + size + (size & 1);
    }
    throw std::runtime_error("RIFF chunk not found");
}

NeLayout readNeLayout(const Bytes& file)
{
    NeLayout ne;
    ne.header = get32(file, 0x3C);
    if (!idAt(file, ne.header, "NE"))
        throw std::runtime_error("not an NE file");
    ne.table = ne.header + get16(file, ne.header + 0x24);
    const unsigned shift = get16(file, ne.table);
    std::size_t at = ne.table + 2;
    ne.firstData = file.size();
    while (get16(file, at) != 0) {
        const unsigned count = get16(file, at + 2);
        for (unsigned i = 0; i < count; ++i)
            ne.firstData =
                std::min<std::size_t>(ne.firstData, std::size_t{get16(file, at + 8 + 12 * i)} << shift);
        at += 8 + 12 * std::size_t{count};
    }
    at += 2;
    while (file.at(at) != 0) // length-prefixed names, ended by a zero length
        at += 1 + std::size_t{file.at(at)};
    ne.tableEnd = at + 1;
    return ne;
}

Bytes peWithHeadersAt4(const Bytes& pe32)
{
    const PeLayout layout = readPeLayout(pe32);
    if (layout.pe32plus)
        throw std::logic_error("peWithHeadersAt4 takes a PE32 file");
    const PeSection& rsrc = layout.resourceSection();
    Bytes section(pe32.begin() + rsrc.rawAt, pe32.begin() + rsrc.rawAt + rsrc.rawSize);
    const std::uint32_t resourceSize = get32(pe32, layout.optionalAt + 96 + 2 * 8 + 4);

    // "MZ", then "PE\0\0" at 4, the file header at 8, the optional header at
    // 0x1C, whose SectionAlignment field lands on e_lfanew (0x3C) and holds 4.
    constexpr std::uint32_t kSectionAt = 0x124; // headers end here; RVA == file offset
    auto rebase = [&](std::uint32_t rva) { return rva - rsrc.virtualAddress + kSectionAt; };
    for (std::size_t entry : layout.dataEntries) {
        const std::size_t at = entry - rsrc.rawAt;
        put32(section, at, rebase(get32(section, at)));
    }
    const std::uint32_t size = static_cast<std::uint32_t>(section.size());

    ByteSink out;
    out.text("MZ");
    out.u16(0);
    out.text("PE");
    out.u16(0);
    out.u16(0x14C); // i386
    out.u16(1);     // one section
    out.u32(0);
    out.u32(0);
    out.u32(0);
    out.u16(0xE0);   // optional header size
    out.u16(0x0103); // relocations stripped, executable, 32-bit
    out.u16(0x10B);  // PE32
    out.u8(2);
    out.u8(0);
    out.u32(0);          // code
    out.u32(size);       // initialised data
    out.u32(0);          // uninitialised data
    out.u32(0);          // entry point
    out.u32(0);          // base of code
    out.u32(kSectionAt); // base of data
    out.u32(0x400000);   // image base
    if (out.size() != 0x3C)
        throw std::logic_error("SectionAlignment is not at e_lfanew");
    out.u32(4); // SectionAlignment, read as e_lfanew too
    out.u32(4); // FileAlignment
    out.u16(4); // OS 4.0
    out.u16(0);
    out.u16(0); // image version
    out.u16(0);
    out.u16(4); // subsystem 4.0
    out.u16(0);
    out.u32(0);
    out.u32(kSectionAt + size); // SizeOfImage
    out.u32(kSectionAt);        // SizeOfHeaders
    out.u32(0);                 // checksum
    out.u16(2);                 // Windows GUI
    out.u16(0);
    out.u32(0x100000); // stack and heap reserve and commit
    out.u32(0x1000);
    out.u32(0x100000);
    out.u32(0x1000);
    out.u32(0);  // loader flags
    out.u32(16); // data directories
    for (int i = 0; i < 16; ++i) {
        out.u32(i == 2 ? rebase(layout.resourceRva) : 0);
        out.u32(i == 2 ? resourceSize : 0);
    }
    out.text(".rsrc");
    out.zeros(3);
    out.u32(size);       // VirtualSize
    out.u32(kSectionAt); // VirtualAddress
    out.u32(size);       // SizeOfRawData
    out.u32(kSectionAt); // PointerToRawData
    out.zeros(12);
    out.u32(0x40000040); // initialised data, readable
    if (out.size() != kSectionAt)
        throw std::logic_error("PE headers do not end where the section starts");
    out.append(section);
    return out.bytes;
}

} // namespace gbfix

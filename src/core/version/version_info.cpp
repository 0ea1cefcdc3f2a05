#include "core/version/version_info.h"

#include "core/text/utf16_text.h"

#include <algorithm>
#include <vector>

// Layout after the PE format documentation's version resource: every block
// is wLength, wValueLength, wType, a NUL-terminated UTF-16 key, padding to a
// 4-byte boundary, the value, padding, then child blocks up to wLength.

namespace gb {

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint64_t kFixedSize = 52;
constexpr std::size_t kMaxStrings = 256;    // texts kept from one table
constexpr std::size_t kMaxTables = 64;      // string tables looked at
constexpr std::uint64_t kMaxKeyUnits = 256; // a key longer than this is no key of ours

struct Block {
    std::uint64_t start = 0, end = 0; // within the resource
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0; // 1 for text
    std::u16string key;
    std::uint64_t value = 0;    // where the value starts
    std::uint64_t children = 0; // where the first child starts
};

std::uint64_t aligned(std::uint64_t offset)
{
    return (offset + 3) & ~std::uint64_t{3};
}

// UTF-16 text from `offset` up to a NUL, `limit` or `maxUnits`.
std::u16string textAt(const ByteReader& bytes, std::uint64_t offset, std::uint64_t limit,
                      std::uint64_t maxUnits)
{
    std::u16string text;
    for (std::uint64_t at = offset; at + 2 <= limit && text.size() < maxUnits; at += 2) {
        const auto unit = bytes.u16le(at);
        if (!unit || *unit == 0)
            break;
        text += static_cast<char16_t>(*unit);
    }
    return text;
}

// The block at `start`, which must end within `limit`.
std::optional<Block> blockAt(const ByteReader& bytes, std::uint64_t start, std::uint64_t limit)
{
    const auto length = bytes.u16le(start);
    const auto valueLength = bytes.u16le(start + 2);
    const auto type = bytes.u16le(start + 4);
    if (!length || !valueLength || !type || *length < 6 || start + *length > limit)
        return std::nullopt;
    Block block;
    block.start = start;
    block.end = start + *length;
    block.valueLength = *valueLength;
    block.type = *type;
    block.key = textAt(bytes, start + 6, block.end, kMaxKeyUnits);
    block.value = aligned(start + 6 + 2 * (block.key.size() + 1));
    const std::uint64_t valueBytes =
        block.type == 1 ? 2 * std::uint64_t{block.valueLength} : block.valueLength;
    block.children = std::min(block.end, aligned(block.value + valueBytes));
    return block;
}

// Calls `each` for every child block of `parent`, at most `most` of them.
template <class Each>
void forEachChild(const ByteReader& bytes, const Block& parent, std::size_t most, Each each)
{
    std::uint64_t at = parent.children;
    for (std::size_t n = 0; n < most && at + 6 <= parent.end; ++n) {
        const auto child = blockAt(bytes, at, parent.end);
        if (!child)
            return;
        each(*child);
        at = aligned(child->end);
    }
}

std::array<std::uint16_t, 4> versionOf(std::uint32_t high, std::uint32_t low)
{
    return {static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high & 0xFFFF),
            static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low & 0xFFFF)};
}

} // namespace

std::expected<VersionInfo, ReadFailure> readVersionInfo(const ByteReader& bytes)
{
    const auto root = blockAt(bytes, 0, bytes.size());
    if (!root)
        return std::unexpected(ReadFailure{ReadError::Truncated, 0});
    if (root->key != u"VS_VERSION_INFO")
        return std::unexpected(ReadFailure{ReadError::BadMagic, 6});
    VersionInfo info;
    if (root->valueLength >= kFixedSize && bytes.u32le(root->value) == kFixedSignature &&
        root->value + kFixedSize <= root->end) {
        info.fileVersion = versionOf(*bytes.u32le(root->value + 8), *bytes.u32le(root->value + 12));
        info.productVersion = versionOf(*bytes.u32le(root->value + 16), *bytes.u32le(root->value + 20));
    }

    // The string tables of every StringFileInfo, in file order.
    std::vector<Block> tables;
    forEachChild(bytes, *root, kMaxTables, [&](const Block& child) {
        if (child.key == u"StringFileInfo")
            forEachChild(bytes, child, kMaxTables, [&](const Block& table) {
                if (tables.size() < kMaxTables)
                    tables.push_back(table);
            });
    });
    if (tables.empty())
        return info;
    const auto english = std::ranges::find_if(tables, [](const Block& table) {
        return table.key.size() >= 4 && (table.key.substr(0, 4) == u"0409");
    });
    const Block& chosen = english != tables.end() ? *english : tables.front();
    info.table = utf8FromUtf16(chosen.key);
    forEachChild(bytes, chosen, kMaxStrings, [&](const Block& text) {
        const std::uint64_t units = text.type == 1 ? text.valueLength : text.valueLength / 2;
        const std::u16string value = textAt(bytes, text.value, text.end, units);
        info.texts.emplace(utf8FromUtf16(text.key), utf8FromUtf16(value));
    });
    return info;
}

std::optional<std::string> VersionInfo::text(const std::string& name) const
{
    const auto found = texts.find(name);
    if (found == texts.end())
        return std::nullopt;
    // Trailing spaces are common padding in real resources.
    std::string value = found->second;
    while (!value.empty() && value.back() == ' ')
        value.pop_back();
    if (value.empty())
        return std::nullopt;
    return value;
}

std::optional<std::string> VersionInfo::version() const
{
    if (fileVersion) {
        const auto& v = *fileVersion;
        return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
               std::to_string(v[3]);
    }
    return text("FileVersion");
}

} // namespace gb

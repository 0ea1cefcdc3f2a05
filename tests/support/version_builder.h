#pragma once
// Version resources (VS_VERSIONINFO) made after the PE format
// documentation's layout, for tests and fuzz seeds.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace gb::test {

struct VersionRecipe {
    std::optional<std::array<std::uint16_t, 4>> fileVersion, productVersion;
    // Per string table: its key ("040904b0") and its texts, ASCII.
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> tables;
};

namespace version_detail {

inline void put16(std::vector<std::byte>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::byte>(v & 0xFF));
    out.push_back(static_cast<std::byte>((v >> 8) & 0xFF));
}

inline void pad(std::vector<std::byte>& out)
{
    while (out.size() % 4 != 0)
        out.push_back(std::byte{0});
}

// A block: header, key, value, children; lengths filled in at the end.
inline std::vector<std::byte> block(const std::string& key, std::uint16_t type,
                                    const std::vector<std::byte>& value, std::uint16_t valueLength,
                                    const std::vector<std::vector<std::byte>>& children)
{
    std::vector<std::byte> out;
    put16(out, 0);
    put16(out, valueLength);
    put16(out, type);
    for (const char c : key)
        put16(out, static_cast<unsigned char>(c));
    put16(out, 0);
    pad(out);
    out.insert(out.end(), value.begin(), value.end());
    for (const auto& child : children) {
        pad(out);
        out.insert(out.end(), child.begin(), child.end());
    }
    out[0] = static_cast<std::byte>(out.size() & 0xFF);
    out[1] = static_cast<std::byte>(out.size() >> 8);
    return out;
}

} // namespace version_detail

inline std::vector<std::byte> buildVersionInfo(const VersionRecipe& r)
{
    // Declared here, so they hide the other builders' helpers of these names.
    using version_detail::block;
    using version_detail::pad;
    using version_detail::put16;
    std::vector<std::byte> fixed;
    if (r.fileVersion || r.productVersion) {
        const auto words = [&](const std::optional<std::array<std::uint16_t, 4>>& v) {
            const auto x = v.value_or(std::array<std::uint16_t, 4>{});
            put16(fixed, x[1]);
            put16(fixed, x[0]);
            put16(fixed, x[3]);
            put16(fixed, x[2]);
        };
        put16(fixed, 0x04BD);
        put16(fixed, 0xFEEF);
        put16(fixed, 0);
        put16(fixed, 1); // structure version 1.0
        words(r.fileVersion);
        words(r.productVersion);
        for (int i = 0; i < 7; ++i) {
            put16(fixed, 0);
            put16(fixed, 0);
        }
    }
    std::vector<std::vector<std::byte>> tables;
    for (const auto& [key, texts] : r.tables) {
        std::vector<std::vector<std::byte>> strings;
        for (const auto& [name, value] : texts) {
            std::vector<std::byte> text;
            for (const char c : value)
                put16(text, static_cast<unsigned char>(c));
            put16(text, 0);
            strings.push_back(block(name, 1, text, static_cast<std::uint16_t>(value.size() + 1), {}));
        }
        tables.push_back(block(key, 1, {}, 0, strings));
    }
    std::vector<std::vector<std::byte>> children;
    if (!tables.empty())
        children.push_back(block("StringFileInfo", 1, {}, 0, tables));
    return block("VS_VERSION_INFO", 0, fixed, static_cast<std::uint16_t>(fixed.size()), children);
}

} // namespace gb::test

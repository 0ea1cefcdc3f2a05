#pragma once
// Windows shortcuts made after the Shell Link binary file format, for tests
// and fuzz seeds: the header, an item ID list, LinkInfo with a local base
// path, the string data and the environment blocks, each only when asked.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gb::test {

struct ShortcutRecipe {
    bool unicode = true;                        // the string data as UTF-16
    bool idList = true;                         // an item ID list to skip
    std::optional<std::string> localBasePath;   // ANSI, in LinkInfo
    std::optional<std::string> unicodeBasePath; // also in LinkInfo, as UTF-16
    std::optional<std::string> name, relativePath, workingFolder, arguments, iconLocation;
    std::optional<std::string> environmentTarget, iconEnvironment; // UTF-16 in their blocks
    std::int32_t iconIndex = 0;
};

namespace shortcut_detail {

inline void put16(std::vector<std::byte>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::byte>(v & 0xFF));
    out.push_back(static_cast<std::byte>((v >> 8) & 0xFF));
}

inline void put32(std::vector<std::byte>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// UTF-8 to UTF-16 code units.
inline std::vector<std::uint16_t> utf16(const std::string& text)
{
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t c = b;
        int more = 0;
        if (b >= 0xF0) {
            c = b & 0x07;
            more = 3;
        } else if (b >= 0xE0) {
            c = b & 0x0F;
            more = 2;
        } else if (b >= 0xC0) {
            c = b & 0x1F;
            more = 1;
        }
        for (++i; more > 0 && i < text.size(); --more, ++i)
            c = (c << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        if (c >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(c));
        }
    }
    return units;
}

inline void putUtf16(std::vector<std::byte>& out, const std::string& text, bool terminated)
{
    for (const std::uint16_t u : utf16(text))
        put16(out, u);
    if (terminated)
        put16(out, 0);
}

} // namespace shortcut_detail

inline std::vector<std::byte> buildShortcut(const ShortcutRecipe& r)
{
    // Declared here, so the helpers of another builder of the same namespace
    // (dib_builder.h has its own put16 and put32) do not make a call ambiguous.
    using shortcut_detail::put16;
    using shortcut_detail::put32;
    using shortcut_detail::putUtf16;
    using shortcut_detail::utf16;
    std::vector<std::byte> out;
    std::uint32_t flags = 0;
    if (r.idList)
        flags |= 0x1;
    if (r.localBasePath || r.unicodeBasePath)
        flags |= 0x2;
    const std::pair<std::uint32_t, const std::optional<std::string>*> strings[] = {{0x4, &r.name},
                                                                                   {0x8, &r.relativePath},
                                                                                   {0x10, &r.workingFolder},
                                                                                   {0x20, &r.arguments},
                                                                                   {0x40, &r.iconLocation}};
    for (const auto& [flag, text] : strings)
        if (*text)
            flags |= flag;
    if (r.unicode)
        flags |= 0x80;
    if (r.environmentTarget)
        flags |= 0x200;
    if (r.iconEnvironment)
        flags |= 0x4000;

    put32(out, 0x4C);
    for (const std::uint8_t b :
         std::array<std::uint8_t, 16>{0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46})
        out.push_back(static_cast<std::byte>(b));
    put32(out, flags);
    put32(out, 0x20); // FILE_ATTRIBUTE_ARCHIVE
    for (int i = 0; i < 3 * 8 + 4; ++i)
        out.push_back(std::byte{0}); // times, file size
    put32(out, static_cast<std::uint32_t>(r.iconIndex));
    put32(out, 1); // SW_SHOWNORMAL
    for (int i = 0; i < 12; ++i)
        out.push_back(std::byte{0}); // hot key, reserved

    if (r.idList) {
        // One item (of 6 bytes) and the terminating zero.
        put16(out, 8);
        put16(out, 6);
        put32(out, 0x1F501F50);
        put16(out, 0);
    }
    if (r.localBasePath || r.unicodeBasePath) {
        const std::string ansi = r.localBasePath.value_or("");
        const bool wide = r.unicodeBasePath.has_value();
        const std::uint32_t header = wide ? 0x24 : 0x1C;
        const std::uint32_t volume = header;        // VolumeID: 16 bytes, no label
        const std::uint32_t base = volume + 16 + 1; // after the VolumeID and its empty label
        const std::uint32_t suffix = base + static_cast<std::uint32_t>(ansi.size()) + 1;
        const std::uint32_t baseWide = suffix + 1;
        const std::uint32_t wideBytes =
            wide ? static_cast<std::uint32_t>(2 * (utf16(*r.unicodeBasePath).size() + 1)) : 0;
        const std::uint32_t suffixWide = baseWide + wideBytes;
        const std::uint32_t size = (wide ? suffixWide + 2 : suffix + 1);
        put32(out, size);
        put32(out, header);
        put32(out, 0x1); // VolumeIDAndLocalBasePath
        put32(out, volume);
        put32(out, base);
        put32(out, 0); // no network link
        put32(out, suffix);
        if (wide) {
            put32(out, baseWide);
            put32(out, suffixWide);
        }
        put32(out, 17); // VolumeID size
        put32(out, 3);  // DRIVE_FIXED
        put32(out, 0x12345678);
        put32(out, 16); // label offset
        out.push_back(std::byte{0});
        for (const char c : ansi)
            out.push_back(static_cast<std::byte>(c));
        out.push_back(std::byte{0});
        out.push_back(std::byte{0}); // empty common path suffix
        if (wide) {
            putUtf16(out, *r.unicodeBasePath, true);
            put16(out, 0); // empty common path suffix
        }
    }
    for (const auto& [flag, text] : strings) {
        if (!*text)
            continue;
        if (r.unicode) {
            put16(out, static_cast<std::uint32_t>(utf16(**text).size()));
            putUtf16(out, **text, false);
        } else {
            put16(out, static_cast<std::uint32_t>((*text)->size()));
            for (const char c : **text)
                out.push_back(static_cast<std::byte>(c));
        }
    }
    for (const auto& [signature, text] :
         {std::pair{0xA0000001u, &r.environmentTarget}, std::pair{0xA0000007u, &r.iconEnvironment}}) {
        if (!*text)
            continue;
        put32(out, 0x314);
        put32(out, signature);
        std::vector<std::byte> ansi(260), wide(520);
        for (std::size_t i = 0; i < (*text)->size() && i < 259; ++i)
            ansi[i] = static_cast<std::byte>((**text)[i]);
        std::vector<std::byte> units;
        putUtf16(units, **text, true);
        for (std::size_t i = 0; i < units.size() && i < 520; ++i)
            wide[i] = units[i];
        out.insert(out.end(), ansi.begin(), ansi.end());
        out.insert(out.end(), wide.begin(), wide.end());
    }
    put32(out, 0); // the terminal block
    return out;
}

} // namespace gb::test

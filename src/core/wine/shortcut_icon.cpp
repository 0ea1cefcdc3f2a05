#include "core/wine/shortcut_icon.h"

#include "core/bytes/file_source.h"

#include <array>
#include <filesystem>

namespace gb {

std::expected<std::optional<ShellLink>, ReadFailure> readShortcutFile(const std::string& path)
{
    auto file = FileSource::open(path);
    if (!file)
        return std::unexpected(file.error());
    return readShortcut(*file);
}

std::expected<std::optional<ShellLink>, ReadFailure> readShortcut(const ByteSource& file)
{
    if (file.size() > kMaxShellLinkBytes)
        return std::nullopt; // a program, say; never a shortcut
    // The header tells; most files asked about are programs, read no further.
    std::array<std::byte, 20> header{};
    const std::size_t got = file.readAt(0, header);
    if (!looksLikeShellLink(ByteReader{std::span<const std::byte>(header.data(), got)}))
        return std::nullopt;
    std::vector<std::byte> bytes(static_cast<std::size_t>(file.size()));
    bytes.resize(file.readAt(0, bytes));
    const ByteReader reader{std::span<const std::byte>(bytes)};
    if (!looksLikeShellLink(reader))
        return std::nullopt;
    auto link = readShellLink(reader);
    if (!link)
        return std::unexpected(link.error());
    return std::optional<ShellLink>(std::move(*link));
}

WinePaths shortcutPaths(const std::string& shortcutPath, const std::optional<std::string>& prefix,
                        bool confined)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path absolute = fs::absolute(fs::path(shortcutPath), error).lexically_normal();
    return winePaths(prefix ? prefix : findWinePrefix(absolute.string()), absolute.parent_path().string(),
                     confined);
}

std::expected<IconChoice, WinePathFailure> shortcutIcon(const ShellLink& link, const WinePaths& paths)
{
    if (const auto icon = link.iconFile()) {
        auto file = mapWindowsPath(*icon, paths);
        if (!file)
            return std::unexpected(file.error());
        return IconChoice{std::move(*file), link.iconIndex};
    }
    auto target = mapWindowsPath(link.target().value_or(""), paths);
    if (!target)
        return std::unexpected(target.error());
    return IconChoice{std::move(*target), 0};
}

std::optional<int> iconPosition(const IconSource& source, std::int32_t index)
{
    if (index >= 0)
        return index < source.count() ? std::optional<int>(index) : std::nullopt;
    // In 64 bits: minus INT32_MIN does not fit an int32_t. Ids are 16 bits.
    const std::int64_t id = -static_cast<std::int64_t>(index);
    if (id > 0xFFFF)
        return std::nullopt;
    for (int i = 0; i < source.count(); ++i)
        if (const ResourceBlob* group = source.groupResource(i); group != nullptr && group->id == id)
            return i;
    return std::nullopt;
}

} // namespace gb

#pragma once
// Cursor files read back by tools that are not ours: icoutils' icotool
// lists what a .cur holds, and a small RIFF walk takes an .ani apart.

#include <cstdint>
#include <cstdio>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

namespace gb::test {

struct ListedCursorImage {
    int width, height, hotspotX, hotspotY;
    friend bool operator==(const ListedCursorImage&, const ListedCursorImage&) = default;
};

// The images `icotool -l` lists in a .cur file, in its order.
inline std::vector<ListedCursorImage> icotoolList(const std::string& path)
{
    std::vector<ListedCursorImage> listed;
    FILE* pipe = ::popen((std::string(GB_ICOTOOL_PATH) + " -l '" + path + "' 2>&1").c_str(), "r");
    if (!pipe)
        return listed;
    std::string out;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    ::pclose(pipe);
    // Lines such as "--cursor --index=1 --width=32 --height=32 ... --hotspot-x=5 --hotspot-y=9".
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("--cursor "))
            continue;
        auto field = [&](const std::string& name) {
            const std::size_t at = line.find("--" + name + "=");
            return at == std::string::npos ? -1 : std::stoi(line.substr(at + name.size() + 3));
        };
        listed.push_back({field("width"), field("height"), field("hotspot-x"), field("hotspot-y")});
    }
    return listed;
}

inline std::uint32_t u32At(std::span<const std::byte> bytes, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= std::to_integer<std::uint32_t>(bytes[at + i]) << (8 * i);
    return v;
}

inline std::string idAt(std::span<const std::byte> bytes, std::size_t at)
{
    std::string id;
    for (std::size_t i = 0; i < 4; ++i)
        id += static_cast<char>(bytes[at + i]);
    return id;
}

struct RiffChunk {
    std::string id;                  // a LIST's is "LIST/" and its form
    std::span<const std::byte> data; // a LIST's after its form
};

// The chunks of a RIFF form's body in order, LISTs opened one level.
inline std::vector<RiffChunk> riffChunks(std::span<const std::byte> body)
{
    std::vector<RiffChunk> chunks;
    std::size_t at = 0;
    while (at + 8 <= body.size()) {
        const std::string id = idAt(body, at);
        const std::size_t size = u32At(body, at + 4);
        if (at + 8 + size > body.size())
            break;
        auto data = body.subspan(at + 8, size);
        if (id == "LIST" && size >= 4) {
            chunks.push_back({"LIST/" + idAt(data, 0), data.subspan(4)});
            for (RiffChunk inner : riffChunks(data.subspan(4)))
                chunks.push_back({"LIST/" + idAt(data, 0) + "/" + inner.id, inner.data});
        } else {
            chunks.push_back({id, data});
        }
        at += 8 + size + size % 2;
    }
    return chunks;
}

} // namespace gb::test

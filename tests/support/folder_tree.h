#pragma once
// Everything below a folder, as text to compare: each entry's path relative
// to it, with a file's size and FNV-1a hash, a link's target or "<folder>".
// Hidden files count too, so a temporary file left behind shows.

#include "support/temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace gb::test {

inline std::string fileDigest(const std::string& bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    return std::to_string(bytes.size()) + " bytes, " + std::to_string(hash);
}

inline std::map<std::string, std::string> folderTree(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> tree;
    std::error_code error;
    if (!fs::exists(root, error))
        return tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root, error)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink())
            tree[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            tree[name] = "<folder>";
        else
            tree[name] = fileDigest(readText(entry.path().string()));
    }
    return tree;
}

} // namespace gb::test

#pragma once
// A fixture file's bytes, read whole.

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace gb::test {

inline std::vector<std::byte> readFixture(const std::string& name)
{
    std::ifstream in(std::string(GB_FIXTURE_DIR) + "/" + name, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> bytes(chars.size());
    std::memcpy(bytes.data(), chars.data(), chars.size());
    return bytes;
}

} // namespace gb::test

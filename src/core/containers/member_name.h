#pragma once
// Member names as the walk gives them: as the container stores them, with
// "/" between folders, without a leading "/" or "./" and with doubled "/"
// made single, so "./SETUP//APP.EXE" and "SETUP/APP.EXE" are one member.

#include <string>
#include <string_view>

namespace gb {

std::string normaliseMemberName(std::string_view stored);

// What a search pattern is matched against: the part after the last "/".
std::string_view lastComponent(std::string_view name);

} // namespace gb

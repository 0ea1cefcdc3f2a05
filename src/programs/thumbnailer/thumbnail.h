#pragma once
// The thumbnail of one file: its first icon (the one a Windows file manager
// shows for it) as a PNG, from the best stored image for the size asked.

#include <cstddef>
#include <expected>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace gb::thumbnailer {

struct Thumbnail {
    std::vector<std::byte> png;
    int width = 0, height = 0;
};

// Fails, with a reason for programmers, when the file cannot be read or
// holds no drawable icon.
std::expected<Thumbnail, std::string> makeThumbnail(const std::string& path, int size);

// The whole program: parses, makes the thumbnail, writes it atomically.
// Returns the exit status: 0, or 1 with no output file on any failure.
// --help and --version print to `out` and return 0.
int runThumbnailer(std::span<const std::string> args, std::ostream& out, std::ostream& err);

} // namespace gb::thumbnailer

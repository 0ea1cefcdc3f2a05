#pragma once
// The command line a file manager runs a thumbnailer with: "-s %s %i %o"
// of the Thumbnail Managing Standard, the size in pixels, the input as a
// path or a file:// URI, and the PNG file to write.

#include <expected>
#include <span>
#include <string>

namespace gb::thumbnailer {

// The largest thumbnail made: "xx-large" of the Thumbnail Managing
// Standard, and the largest stored image the engine decodes. A larger size
// asked for is served at this one ("large" is 256, "x-large" 512).
inline constexpr int kLargestThumbnail = 1024;

struct Request {
    // --help (or -h) and --version, anywhere on the line, print and end.
    enum class Action { Thumbnail, Help, Version } action = Action::Thumbnail;
    int size = 0; // 1 to kLargestThumbnail
    std::string input;
    std::string output;
};

std::expected<Request, std::string> parseArguments(std::span<const std::string> args);

// A path as given, or the local path of a file:// URI (host empty or
// "localhost"), percent-decoded. Other schemes and broken escapes are errors.
std::expected<std::string, std::string> localPathOf(const std::string& argument);

std::string usageText();
std::string versionText(); // "glimmerbox-thumbnailer VERSION\n"

} // namespace gb::thumbnailer

#include "programs/thumbnailer/thumbnailer_args.h"

#include "core/text/ascii.h"
#include "core/text/percent_escapes.h"
#include "programs/version.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>
#include <vector>

namespace gb::thumbnailer {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    return equalIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

std::expected<std::string, std::string> localPathOf(const std::string& argument)
{
    if (argument.empty())
        return std::unexpected("empty input");
    constexpr std::string_view kFileScheme = "file://";
    if (!startsWithNoCase(argument, kFileScheme)) {
        // A path is taken as it is: its bytes may hold "%" or ":" freely.
        // Only something shaped like another URI is refused.
        const auto colon = argument.find("://");
        const auto slash = argument.find('/');
        if (colon != std::string::npos && colon < slash && colon > 0)
            return std::unexpected("only file:// URIs are read");
        return argument;
    }
    const std::string rest = argument.substr(kFileScheme.size());
    const auto pathStart = rest.find('/');
    if (pathStart == std::string::npos)
        return std::unexpected("the URI names no path");
    const std::string host = rest.substr(0, pathStart);
    if (!host.empty() && host != "localhost")
        return std::unexpected("the URI names another host");
    // A query or fragment is no part of a file's name.
    std::string path = rest.substr(pathStart);
    if (const auto cut = path.find_first_of("?#"); cut != std::string::npos)
        path.resize(cut);
    auto decoded = percentDecoded(path);
    if (!decoded)
        return std::unexpected(decoded.error() == PercentProblem::Nul ? "the URI holds a NUL byte"
                                                                      : "broken %-escape in the URI");
    return std::move(*decoded);
}

std::string usageText()
{
    return "Usage: glimmerbox-thumbnailer -s SIZE INPUT OUTPUT\n"
           "       glimmerbox-thumbnailer --help | --version\n"
           "Writes OUTPUT, a PNG of the first icon of INPUT (a Windows program, library,\n"
           "icon or cursor file; a path or a file:// URI) at most SIZE pixels a side.\n"
           "Exit status 1, and no OUTPUT, when INPUT holds no icon.\n"
           "See glimmerbox-thumbnailer(1).\n";
}

std::string versionText()
{
    return "glimmerbox-thumbnailer " + std::string(kProjectVersion) + "\n";
}

std::expected<Request, std::string> parseArguments(std::span<const std::string> args)
{
    Request request;
    // Asked for by a person, never by a file manager (its INPUT is a URI or
    // an absolute path, its OUTPUT an absolute path), so they win wherever
    // they stand.
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            request.action = Request::Action::Help;
            return request;
        }
        if (arg == "--version") {
            request.action = Request::Action::Version;
            return request;
        }
    }
    bool sizeGiven = false;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "-s" || args[i] == "--size") {
            if (i + 1 >= args.size())
                return std::unexpected(args[i] + " needs a value");
            value = args[++i];
        } else if (args[i].starts_with("--size=")) {
            value = args[i].substr(7);
        } else {
            positional.push_back(args[i]);
            continue;
        }
        int size = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), size);
        // A number too long for an int is still a number: say what is wrong with it.
        if (error == std::errc::result_out_of_range && end == value.data() + value.size())
            return std::unexpected("SIZE " + value + " is out of range: 1 to " +
                                   std::to_string(std::numeric_limits<int>::max()) + " pixels");
        if (error != std::errc{} || end != value.data() + value.size() || size < 1)
            return std::unexpected("SIZE must be a whole number of pixels, at least 1");
        request.size = std::min(size, kLargestThumbnail);
        sizeGiven = true;
    }
    if (!sizeGiven)
        return std::unexpected("-s SIZE is missing");
    if (positional.size() != 2)
        return std::unexpected("INPUT and OUTPUT are needed, and nothing else");
    auto input = localPathOf(positional[0]);
    if (!input)
        return std::unexpected(input.error());
    if (positional[1].empty())
        return std::unexpected("empty OUTPUT");
    request.input = std::move(*input);
    request.output = positional[1];
    return request;
}

} // namespace gb::thumbnailer

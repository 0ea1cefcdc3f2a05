#include "core/capture/portal_answer.h"

#include "core/text/ascii.h"
#include "core/text/percent_escapes.h"

namespace gb::capture {

namespace {

constexpr std::string_view kRequestPrefix = "/org/freedesktop/portal/desktop/request/";

} // namespace

std::string portalRequestPath(std::string_view uniqueName, std::string_view token)
{
    if (uniqueName.starts_with(':'))
        uniqueName.remove_prefix(1);
    std::string path(kRequestPrefix);
    for (const char c : uniqueName)
        path += c == '.' ? '_' : c;
    path += '/';
    path += token;
    return path;
}

std::optional<std::uint32_t> screenshotTarget(std::uint32_t version, std::uint32_t availableTargets)
{
    if (version >= kFirstPortalVersionWithTargets && (availableTargets & kWindowTarget) != 0)
        return kWindowTarget;
    return std::nullopt;
}

PortalOutcome portalOutcome(std::uint32_t response)
{
    switch (response) {
    case 0: return PortalOutcome::Taken;
    case 1: return PortalOutcome::Cancelled;
    default: return PortalOutcome::Failed;
    }
}

std::optional<std::string> localFileOfUri(std::string_view uri)
{
    constexpr std::string_view kScheme = "file:";
    if (uri.size() < kScheme.size() || !equalIgnoringAsciiCase(uri.substr(0, kScheme.size()), kScheme))
        return std::nullopt;
    std::string_view rest = uri.substr(kScheme.size());
    // A query or fragment is no part of the file's name.
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && !equalIgnoringAsciiCase(host, "localhost"))
            return std::nullopt; // a file on another machine
        if (slash == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(slash);
    }
    if (!rest.starts_with('/'))
        return std::nullopt;
    auto path = percentDecoded(rest);
    if (!path)
        return std::nullopt; // a broken escape, or a NUL no path can hold
    return std::move(*path);
}

} // namespace gb::capture

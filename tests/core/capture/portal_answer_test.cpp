// The screenshot portal's requests and answers as data: the request's path,
// the target asked for, the response codes and the picture's file URI.
#include "core/capture/portal_answer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace gb::capture {
namespace {

template <typename Case> std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// ---- the request's path --------------------------------------------------------------

struct PathCase {
    const char* name;
    const char* uniqueName;
    const char* token;
    const char* path;
};

class PortalRequestPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(PortalRequestPath, IsKnownBeforeTheCall)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(portalRequestPath(c.uniqueName, c.token), c.path);
}

constexpr PathCase kPaths[] = {
    {"UniqueNameLosesItsColonAndDotsBecomeUnderscores", ":1.42", "glimmerbox_1_00ff",
     "/org/freedesktop/portal/desktop/request/1_42/glimmerbox_1_00ff"},
    {"NameWithoutColonIsTakenAsIs", "1.7", "t", "/org/freedesktop/portal/desktop/request/1_7/t"},
    {"EveryDotIsReplaced", ":1.2.3", "t", "/org/freedesktop/portal/desktop/request/1_2_3/t"},
};

INSTANTIATE_TEST_SUITE_P(Names, PortalRequestPath, ::testing::ValuesIn(kPaths), caseName<PathCase>);

// ---- the target ------------------------------------------------------------------------

struct TargetCase {
    const char* name;
    std::uint32_t version;
    std::uint32_t targets;
    std::optional<std::uint32_t> asked;
};

class ScreenshotTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(ScreenshotTarget, IsAWindowWhereThePortalOffersIt)
{
    const TargetCase& c = GetParam();
    EXPECT_EQ(screenshotTarget(c.version, c.targets), c.asked);
}

const TargetCase kTargets[] = {
    {"VersionOneHasNoTargets", 1, 0, std::nullopt},
    {"VersionTwoHasNoTargets", 2, 0, std::nullopt},
    {"VersionTwoIgnoresTargetsItCannotHave", 2, 2, std::nullopt},
    {"VersionThreeOfferingEveryTarget", 3, 1 | 2 | 4 | 8, 2u},
    {"VersionThreeOfferingAWindowAlone", 3, 2, 2u},
    {"VersionThreeWithoutWindows", 3, 1 | 4, std::nullopt},
    {"LaterVersionOfferingWindows", 5, 2 | 8, 2u},
    {"PortalThatDoesNotSay", 0, 0, std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Portals, ScreenshotTarget, ::testing::ValuesIn(kTargets), caseName<TargetCase>);

// ---- the response ----------------------------------------------------------------------

struct OutcomeCase {
    const char* name;
    std::uint32_t response;
    PortalOutcome outcome;
};

class PortalResponse : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(PortalResponse, MeansWhatTheRequestInterfaceSays)
{
    const OutcomeCase& c = GetParam();
    EXPECT_EQ(portalOutcome(c.response), c.outcome);
}

constexpr OutcomeCase kOutcomes[] = {
    {"ZeroIsAPicture", 0, PortalOutcome::Taken},
    {"OneIsCancelledByTheUser", 1, PortalOutcome::Cancelled},
    {"TwoEndedAnotherWay", 2, PortalOutcome::Failed},
    {"UnknownCodeIsAFailure", 77, PortalOutcome::Failed},
    {"LargestCodeIsAFailure", 0xffffffffu, PortalOutcome::Failed},
};

INSTANTIATE_TEST_SUITE_P(Codes, PortalResponse, ::testing::ValuesIn(kOutcomes), caseName<OutcomeCase>);

// ---- the picture's file ----------------------------------------------------------------

struct UriCase {
    const char* name;
    const char* uri;
    std::optional<std::string> file;
};

class LocalFileOfUri : public ::testing::TestWithParam<UriCase> {};

TEST_P(LocalFileOfUri, GivesThePathsOwnBytes)
{
    const UriCase& c = GetParam();
    EXPECT_EQ(localFileOfUri(c.uri), c.file);
}

const UriCase kUris[] = {
    {"PlainFile", "file:///tmp/Screenshot.png", "/tmp/Screenshot.png"},
    {"EscapedSpace", "file:///home/me/Pictures/Screenshot%20from%202026.png",
     "/home/me/Pictures/Screenshot from 2026.png"},
    {"EscapedUtf8", "file:///tmp/%E6%88%AA%E5%9B%BE.png", "/tmp/\xe6\x88\xaa\xe5\x9b\xbe.png"},
    // Not UTF-8 at all: the path's bytes, as the file system has them.
    {"EscapedBytesThatAreNotUtf8", "file:///tmp/%FF%fe.png", "/tmp/\xff\xfe.png"},
    {"SchemeInCapitals", "FILE:///tmp/a.png", "/tmp/a.png"},
    {"Localhost", "file://localhost/tmp/a.png", "/tmp/a.png"},
    {"NoAuthority", "file:/tmp/a.png", "/tmp/a.png"},
    {"QueryAndFragmentAreNotTheName", "file:///tmp/a.png?x=1#top", "/tmp/a.png"},
    {"OtherHost", "file://server/share/a.png", std::nullopt},
    {"HostWithoutPath", "file://localhost", std::nullopt},
    {"OtherScheme", "https://example.org/a.png", std::nullopt},
    {"NotAUri", "/tmp/a.png", std::nullopt},
    {"Empty", "", std::nullopt},
    {"RelativePath", "file:tmp/a.png", std::nullopt},
    {"TruncatedEscape", "file:///tmp/a%2", std::nullopt},
    {"EscapeWithoutDigits", "file:///tmp/a%zz.png", std::nullopt},
    {"EscapedNulIsRefused", "file:///tmp/a%00.png", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(Uris, LocalFileOfUri, ::testing::ValuesIn(kUris), caseName<UriCase>);

} // namespace
} // namespace gb::capture

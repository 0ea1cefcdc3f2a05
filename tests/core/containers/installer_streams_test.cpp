// The streams of a Windows Installer package: names unpacked, the Icon and
// Binary tables' files and the embedded cabinet handed on byte for byte,
// and every limit giving its note. setup.msi is built by wixl from
// tests/fixtures/containers/setup.wxs.

#include "core/bytes/file_source.h"
#include "core/containers/installer_streams.h"

#include "support/fixture_bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>

namespace gb {
namespace {

using test::readFixture;

// A compound file of 512-byte sectors whose root holds `entries` - 1 streams,
// each the right sibling of the one before: a directory tree as deep as it
// is long.
std::vector<std::byte> chainedPackage(std::uint32_t entries)
{
    const std::uint32_t dirSectors = (entries + 3) / 4;
    const std::uint32_t fatSectors = (dirSectors + 126) / 127 + 1;
    std::vector<std::byte> out(512 * (1 + fatSectors + dirSectors));
    const auto put = [&](std::size_t at, std::uint64_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            out[at + i] = static_cast<std::byte>(value >> (8 * i));
    };
    put(0, 0xE11AB1A1E011CFD0, 8);
    put(24, 0x3E, 2), put(26, 3, 2), put(28, 0xFFFE, 2), put(30, 9, 2), put(32, 6, 2);
    put(44, fatSectors, 4), put(48, fatSectors, 4), put(56, 4096, 4);
    put(60, 0xFFFFFFFE, 4), put(68, 0xFFFFFFFE, 4);
    for (std::uint32_t i = 0; i < 109; ++i)
        put(76 + 4 * i, i < fatSectors ? i : 0xFFFFFFFF, 4);
    for (std::uint32_t s = 0; s < fatSectors * 128; ++s) {
        const bool dir = s >= fatSectors && s < fatSectors + dirSectors;
        const std::uint32_t next = s < fatSectors                    ? 0xFFFFFFFD
                                   : !dir                            ? 0xFFFFFFFF
                                   : s + 1 < fatSectors + dirSectors ? s + 1
                                                                     : 0xFFFFFFFE;
        put(512 + 4 * std::size_t{s}, next, 4);
    }
    for (std::uint32_t e = 0; e < entries; ++e) {
        const std::size_t at = 512 * (1 + fatSectors) + 128 * std::size_t{e};
        const std::u16string name =
            e == 0 ? u"Root Entry" : u"s" + std::u16string(1, char16_t(u'a' + e % 26));
        for (std::size_t i = 0; i < name.size(); ++i)
            put(at + 2 * i, name[i], 2);
        put(at + 64, 2 * (name.size() + 1), 2);
        out[at + 66] = std::byte{e == 0 ? std::uint8_t{5} : std::uint8_t{2}};
        put(at + 68, 0xFFFFFFFF, 4);                                    // left
        put(at + 72, e > 0 && e + 1 < entries ? e + 1 : 0xFFFFFFFF, 4); // right
        put(at + 76, e == 0 ? 1 : 0xFFFFFFFF, 4);                       // child
        put(at + 116, 0xFFFFFFFE, 4);
    }
    return out;
}

struct Walked {
    std::map<std::string, InstallerStream> streams;
    std::vector<ContainerNote> notes;
};

Walked walk(const ByteSource& source, const ContainerLimits& limits = {}, std::stop_token stop = {})
{
    Walked out;
    DecompressionAllowance allowance = DecompressionAllowance::forContainer(source.size(), limits);
    out.notes = walkInstallerStreams(source, limits, allowance, stop,
                                     [&](InstallerStream s) { out.streams.emplace(s.name, std::move(s)); });
    return out;
}

std::vector<ContainerProblem> problemsOf(const std::vector<ContainerNote>& notes)
{
    std::vector<ContainerProblem> problems;
    for (const ContainerNote& note : notes)
        problems.push_back(note.problem);
    return problems;
}

TEST(InstallerStreamNames, PackedNamesUnpack)
{
    const struct {
        std::u16string stored;
        std::string name;
    } cases[] = {
        // 'I' (18) + 'c' (38) << 6, 'o' (50) + 'n' (49) << 6, then '.' (62) alone.
        {u"\x4192\x4472\x483E", "Icon."},
        {u"\x3800\x47FF\x4800\x483F", "00__0_"},
        // The string data's table, as every database stores it.
        {u"\x4840\x3F3F\x4577\x446C\x3B6A\x45E4\x4824", "!_StringData"},
        {u"\x0005SummaryInformation", "\x05SummaryInformation"},
        {u"a\xD800", "a\xEF\xBF\xBD"}, // a lone surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(unpackStreamName(c.stored), c.name);
}

TEST(InstallerStreams, IconBinaryAndCabinetComeOutWhole)
{
    const auto file = FileSource::open(std::string(GB_FIXTURE_DIR) + "/setup.msi");
    ASSERT_TRUE(file);
    const auto bytes = readFixture("setup.msi");
    const MemorySource memory{ByteReader(bytes)};
    for (const ByteSource* source :
         {static_cast<const ByteSource*>(&*file), static_cast<const ByteSource*>(&memory)}) {
        const Walked got = walk(*source);
        EXPECT_TRUE(got.notes.empty());
        ASSERT_EQ(got.streams.size(), 3u);
        EXPECT_EQ(*got.streams.at("Icon.AppIcon.ico").bytes, readFixture("mixed_depths.ico"));
        EXPECT_EQ(*got.streams.at("Binary.Helper").bytes, readFixture("icons64.dll"));
        const InstallerStream& cabinet = got.streams.at("app.cab");
        EXPECT_TRUE(cabinet.cabinet);
        EXPECT_FALSE(got.streams.at("Binary.Helper").cabinet);
        ASSERT_GE(cabinet.bytes->size(), 4u);
        EXPECT_EQ(std::memcmp(cabinet.bytes->data(), "MSCF", 4), 0);
    }
}

TEST(InstallerStreams, CutShortPackageIsOneDamagedNote)
{
    const auto whole = readFixture("setup.msi");
    for (const std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{1024}}) {
        const MemorySource cut{ByteReader(std::span(whole).first(size))};
        const Walked got = walk(cut);
        EXPECT_TRUE(got.streams.empty()) << size;
        ASSERT_EQ(got.notes.size(), 1u) << size;
        EXPECT_EQ(got.notes[0].problem, ContainerProblem::Damaged);
        EXPECT_TRUE(got.notes[0].members.empty());
        EXPECT_FALSE(got.notes[0].detail.empty());
    }
}

// libgsf recurses once per directory entry: 50,000 of them overflowed the
// stack. Such a directory is refused before libgsf sees it.
TEST(InstallerStreams, DirectoryDeeperThanTheStackIsRefused)
{
    for (const auto& [entries, refused] : {std::pair{1000u, false}, std::pair{60000u, true}}) {
        const auto bytes = chainedPackage(entries);
        const Walked got = walk(MemorySource(ByteReader(bytes)));
        EXPECT_TRUE(got.streams.empty());
        EXPECT_EQ(problemsOf(got.notes),
                  refused ? std::vector{ContainerProblem::Damaged} : std::vector<ContainerProblem>{})
            << entries;
        if (refused && !got.notes.empty()) {
            EXPECT_EQ(got.notes[0].detail, "more than 8192 directory entries");
        }
    }
}

// libgsf reads entries linked beside the root and never frees them.
TEST(InstallerStreams, RootWithSiblingsIsRefused)
{
    auto bytes = chainedPackage(3);     // one directory sector, after the header and two table sectors
    bytes[512 * 3 + 72] = std::byte{2}; // the root's right sibling: entry 2
    const Walked got = walk(MemorySource(ByteReader(bytes)));
    ASSERT_EQ(got.notes.size(), 1u);
    EXPECT_EQ(got.notes[0].detail, "the root entry has siblings");
}

TEST(InstallerStreams, LimitsGiveTheirNotes)
{
    const auto bytes = readFixture("setup.msi");
    const MemorySource memory{ByteReader(bytes)};
    using P = ContainerProblem;
    const struct {
        const char* what;
        ContainerLimits limits;
        bool stopped;
        std::vector<ContainerProblem> problems;
    } cases[] = {
        {"tiny members", {.memberCap = 16}, false, {P::TooLarge, P::TooLarge, P::TooLarge}},
        {"one byte in all", {.perContainerByte = 0, .atLeast = 1}, false, {P::Bomb}},
        {"stopped", {}, true, {P::Cancelled}},
    };
    for (const auto& c : cases) {
        std::stop_source stop;
        if (c.stopped)
            stop.request_stop();
        const Walked got = walk(memory, c.limits, stop.get_token());
        EXPECT_TRUE(got.streams.empty()) << c.what;
        EXPECT_EQ(problemsOf(got.notes), c.problems) << c.what;
    }
}

} // namespace
} // namespace gb

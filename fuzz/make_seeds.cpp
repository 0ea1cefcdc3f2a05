// Builds the seed corpora of the fuzz targets from the test fixtures: whole
// files for the file readers, every stored image, cut out with our own
// reader, for the DIB and PNG decoders, and the installer packages.
//   make_seeds FIXTURE_DIR OUT_DIR

#include "core/icons/icon_source.h"
#include "core/icons/pe_resources.h"
#include "core/icons/png_decoder.h"

#include "support/inf_builder.h"
#include "support/shell_link_builder.h"
#include "support/version_builder.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, std::span<const std::byte> bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::byte> readWhole(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto* first = reinterpret_cast<const std::byte*>(chars.data());
    return std::vector<std::byte>(first, first + chars.size());
}

// The version resource (RT_VERSION) of a PE file as the linker stored it,
// or nothing when the file is no PE or has none.
std::vector<std::byte> versionResource(const std::vector<std::byte>& file)
{
    const gb::MemorySource source{gb::ByteReader(std::span(file))};
    const auto resources = gb::readPeResources(source);
    if (!resources || !resources->version || !resources->version->data)
        return {};
    const gb::ByteRange range = *resources->version->data;
    if (!source.fits(range.offset, range.length))
        return {};
    const auto first = file.begin() + static_cast<std::ptrdiff_t>(range.offset);
    return std::vector<std::byte>(first, first + static_cast<std::ptrdiff_t>(range.length));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds FIXTURE_DIR OUT_DIR\n");
        return 2;
    }
    const fs::path out(argv[2]);
    for (const char* target : {"pe", "ne", "ico", "dib", "png", "thumbnail", "container", "installer",
                               "version", "stored", "ani", "pe_cursors", "inf"})
        fs::create_directories(out / target);
    // A cursor pack's install.inf in 8-bit text and in UTF-16, whole and
    // cut inside its registry line.
    for (const auto& [name, inf] : {std::pair{"scheme.inf", gb::test::textBytes(gb::test::kPackInf)},
                                    std::pair{"scheme16.inf", gb::test::utf16Bytes(gb::test::kPackInf)}})
        for (const std::size_t size : {inf.size(), inf.size() / 2})
            write(out / "inf" / (std::string(name) + "." + std::to_string(size)), std::span(inf).first(size));

    int images = 0, fixtureVersions = 0;
    std::set<std::vector<std::byte>> seenVersions;
    for (const auto& entry : fs::recursive_directory_iterator(argv[1])) {
        if (!entry.is_regular_file())
            continue;
        // Flattened relative path: fixtures in different folders share names.
        std::string name = fs::relative(entry.path(), argv[1]).string();
        std::ranges::replace(name, '/', '_');
        // Every fixture seeds every file reader: each must refuse the others' formats.
        for (const char* target : {"pe", "ne", "ico", "thumbnail", "ani", "pe_cursors"})
            fs::copy_file(entry.path(), out / target / name, fs::copy_options::overwrite_existing);
        // The container walk starts from the containers packed by the standard tools.
        if (name.starts_with("containers_"))
            fs::copy_file(entry.path(), out / "container" / name, fs::copy_options::overwrite_existing);
        // The readers of stored members start from the images xorriso and
        // the tars tar wrote: whole, cut in half, and cut early (files past
        // the end).
        if (name.starts_with("containers_") &&
            (entry.path().extension() == ".iso" || entry.path().extension() == ".tar" ||
             entry.path().extension() == ".zip")) {
            const auto whole = readWhole(entry.path());
            for (const std::size_t size : {whole.size(), whole.size() / 2, std::size_t{40000}})
                write(out / "stored" / (name + "." + std::to_string(size)),
                      std::span(whole).first(std::min(size, whole.size())));
        }
        // Installer packages seed the installer reader, whole and cut short.
        if (entry.path().extension() == ".msi") {
            const auto whole = readWhole(entry.path());
            for (const std::size_t size : {whole.size(), whole.size() / 2, std::size_t{4096}})
                write(out / "installer" / (name + "." + std::to_string(size)),
                      std::span(whole).first(std::min(size, whole.size())));
        }

        // The version resources the resource compiler wrote: whole, cut in
        // half, and cut right after the fixed file info (a 40-byte header
        // with its key "VS_VERSION_INFO", then 52 bytes).
        // The malformed PE files carry the same resource: each is seeded once.
        if (const auto version = versionResource(readWhole(entry.path()));
            !version.empty() && seenVersions.insert(version).second) {
            for (const std::size_t size : {version.size(), version.size() / 2, std::size_t{92}})
                write(out / "version" / (name + "." + std::to_string(size)),
                      std::span(version).first(std::min(size, version.size())));
            ++fixtureVersions;
        }

        auto source = gb::IconSource::open(entry.path().string());
        if (!source)
            continue;
        for (int i = 0; i < source->count(); ++i) {
            auto group = source->group(i);
            if (!group)
                continue;
            int e = 0;
            for (const gb::GroupEntry& stored : group->entries) {
                if (!stored.image)
                    continue;
                const bool png = gb::hasPngSignature(*stored.image);
                const std::string seed = name + "." + std::to_string(i) + "." + std::to_string(e++);
                write(out / (png ? "png" : "dib") / seed, stored.image->bytes());
                ++images;
            }
        }
    }
    // Shortcuts: one of each shape the reader knows, and their cuts.
    fs::create_directories(out / "shortcut");
    gb::test::ShortcutRecipe full;
    full.localBasePath = "C:\\Games\\a.exe";
    full.unicodeBasePath = "C:\\Games\\a.exe";
    full.name = "a";
    full.workingFolder = "C:\\Games";
    full.arguments = "-x \"y z\"";
    full.iconLocation = "%SystemRoot%\\system32\\shell32.dll";
    full.iconIndex = -3;
    full.environmentTarget = "%ProgramFiles%\\a.exe";
    full.iconEnvironment = "%SystemRoot%\\a.ico";
    gb::test::ShortcutRecipe ansi = full;
    ansi.unicode = false;
    ansi.idList = false;
    int shortcuts = 0;
    for (const auto& recipe : {full, ansi}) {
        const auto bytes = gb::test::buildShortcut(recipe);
        for (const std::size_t size : {bytes.size(), bytes.size() / 2, std::size_t{0x4C}, std::size_t{100}})
            write(out / "shortcut" / ("lnk" + std::to_string(shortcuts++)),
                  std::span<const std::byte>(bytes.data(), std::min(size, bytes.size())));
    }
    // Version resources of every shape the fixtures lack: with and without
    // fixed info, one table and two.
    const std::vector<std::pair<std::string, std::string>> texts = {{"FileDescription", "A game"},
                                                                    {"ProductName", "Ship"}};
    const gb::test::VersionRecipe versions[] = {
        {std::array<std::uint16_t, 4>{1, 2, 3, 4},
         std::array<std::uint16_t, 4>{1, 2, 0, 0},
         {{"040904b0", texts}}},
        {std::nullopt, std::nullopt, {{"040704b0", texts}, {"040904e4", {{"FileVersion", "5.0"}}}}},
    };
    int n = 0;
    for (const auto& recipe : versions)
        write(out / "version" / ("version" + std::to_string(n++)), gb::test::buildVersionInfo(recipe));
    std::printf("seeded %d images, %d shortcuts and %d version resources\n", images, shortcuts,
                fixtureVersions + n);
    return 0;
}

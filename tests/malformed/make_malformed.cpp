// Derives broken files from the built fixtures and writes them, with
// manifest.txt ("<file name> <expected> reason=<reason>" a line), into the
// malformed folder.
// Usage: gb_make_malformed <fixture dir> <malformed dir> <every file it writes>...
//
// What a reader must make of them:
//   zero     a structure the icons are found through (NT headers, the
//            resource directory's tables, the NE resource table, the ICO
//            directory, the RIFF chunks before the frames) is cut short or
//            unusable, so the file holds no icons;
//   count=N  those structures can be walked; what is bad or out of reach
//            (a data entry, an image, a chunk running past the end) only
//            leaves an icon less, or nothing, to draw. Extracting every
//            counted icon must return without crashing.
// and why, as the ReadError the reader reports first:
//   for zero, why the icons could not be found (IconSource::problem());
//   for count=N, why a counted icon has nothing to draw: its group or one of
//            its images is not in the file (Missing), or an image is refused
//            by its decoder (Truncated, TooLarge, BadMagic, Unsupported...);
//   none     nothing is reported: the file is no icon source at all (no
//            PE, NE, ICO or ANI signature), or the fault only takes an icon
//            away, or the reader reads past it.
// malformed_files.cmake lists the same file names for the build, which
// passes them in; a mismatch fails the step.

#include "fixture_facts.h"
#include "mutations.h"
#include "pe_layout.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace gbfix;

namespace {

struct Case {
    std::string name;
    std::string expected; // "zero" or "count=N"
    std::string reason;   // a ReadError's name, or "none"
    Bytes bytes;
};

std::string countOf(std::size_t n)
{
    return "count=" + std::to_string(n);
}

const std::string kZero = "zero";

void addPeCases(std::vector<Case>& out, const Bytes& pe, const std::string& prefix, const std::string& ext)
{
    const PeLayout layout = readPeLayout(pe);
    const std::string all = countOf(std::size(kCatalogue));
    auto named = [&](const char* what) { return prefix + what + ext; };

    out.push_back({named("_cut_in_dos_header"), kZero, "none", cut(pe, 0x20)});
    out.push_back({named("_cut_in_optional_header"), kZero, "Truncated", cut(pe, layout.optionalAt + 0x30)});
    out.push_back({named("_cut_in_section_table"), kZero, "Truncated", cut(pe, layout.sectionTableAt + 20)});
    out.push_back({named("_cut_in_resource_root"), kZero, "Truncated", cut(pe, layout.rootAt + 20)});
    // Inside the entries of the RT_GROUP_ICON name directory.
    const std::size_t groupNames = layout.rootAt + (get32(pe, layout.typeEntryAt(14) + 4) & 0x7FFFFFFFu);
    out.push_back(
        {named("_cut_in_group_directory"), kZero, "Truncated", cut(pe, groupNames + 16 + 8 * 2 + 4)});
    // The tables are whole but the last IMAGE_RESOURCE_DATA_ENTRY is gone:
    // like data out of reach, its group counts and draws nothing.
    out.push_back({named("_cut_in_resource_leaves"), all, "Missing", cut(pe, layout.dataEntries.back())});

    // Half way into the last RT_ICON image: the whole tree survives.
    const PeLeaf* lastIcon = nullptr;
    for (const PeLeaf& leaf : layout.leaves)
        if (leaf.type == 3 && (!lastIcon || leaf.dataAt > lastIcon->dataAt))
            lastIcon = &leaf;
    const std::size_t imageCut = lastIcon->dataAt + lastIcon->size / 2;
    if (imageCut <= layout.treeEnd)
        throw std::runtime_error("image data precede the end of the resource tree");
    out.push_back({named("_cut_in_image_data"), all, "Missing", cut(pe, imageCut)});

    // RT_GROUP_ICON's subdirectory is the root itself, so the group names
    // read are the root's two type ids; neither leads to a data entry, so
    // neither is an icon.
    Bytes cyclic = pe;
    put32(cyclic, layout.typeEntryAt(14) + 4, 0x80000000u);
    out.push_back({named("_cyclic_type_directory"), kZero, "none", cyclic});

    // The first group's language entry leads back to the root instead of to
    // its data: that group is no icon, the others are untouched.
    const PeLeaf* firstGroup = nullptr;
    for (const PeLeaf& leaf : layout.leaves)
        if (leaf.type == 14 && !firstGroup)
            firstGroup = &leaf;
    Bytes cyclicLeaf = pe;
    put32(cyclicLeaf, firstGroup->languageEntryAt + 4, 0x80000000u);
    out.push_back({named("_cyclic_language_entry"), countOf(std::size(kCatalogue) - 1), "none", cyclicLeaf});

    if (!layout.pe32plus) {
        Bytes outOfBounds = pe;
        put32(outOfBounds, layout.typeEntryAt(14) + 4, 0xFFFFFFF0u); // subdirectory 0x7FFFFFF0
        out.push_back({named("_subdirectory_out_of_bounds"), kZero, "Truncated", outOfBounds});

        Bytes manyNamed = pe;
        put16(manyNamed, layout.rootAt + 12, 0xFFFF);
        out.push_back({named("_named_entries_ffff"), kZero, "Truncated", manyNamed});
        Bytes manyIds = pe;
        put16(manyIds, layout.rootAt + 14, 0xFFFF);
        out.push_back({named("_id_entries_ffff"), kZero, "Truncated", manyIds});

        Bytes badOptionalMagic = pe; // neither PE32 (0x10b) nor PE32+ (0x20b)
        put16(badOptionalMagic, layout.optionalAt, 0x107);
        out.push_back({named("_optional_magic_107"), kZero, "BadMagic", badOptionalMagic});

        Bytes lfanewPastEnd = pe;
        put32(lfanewPastEnd, 0x3C, 0x7FFFFFF0u);
        out.push_back({named("_lfanew_past_end"), kZero, "none", lfanewPastEnd});

        // Valid: NT headers at 4, overlapping the DOS header.
        out.push_back({named("_lfanew_4"), all, "none", peWithHeadersAt4(pe)});
    }

    // The first group's data: absurd size, then an RVA in no section.
    Bytes hugeSize = pe;
    put32(hugeSize, firstGroup->dataEntryAt + 4, 0xFFFFFFF0u);
    out.push_back({named("_data_size_huge"), all, "Missing", hugeSize});
    if (!layout.pe32plus) {
        Bytes rvaOutside = pe;
        put32(rvaOutside, firstGroup->dataEntryAt, 0x7FFF0000u);
        out.push_back({named("_data_rva_outside"), all, "Missing", rvaOutside});
    }
}

void addNeCases(std::vector<Case>& out, const Bytes& ne)
{
    const NeLayout layout = readNeLayout(ne);
    const std::string all = countOf(std::size(kNeIcons));

    Bytes longType = ne; // the first TYPEINFO claims 65535 resources
    put16(longType, layout.table + 4, 0xFFFF);
    out.push_back({"ne_type_count_ffff.exe", kZero, "Truncated", longType});

    Bytes selfTable = ne; // the table offset 0 makes the NE header its own table
    put16(selfTable, layout.header + 0x24, 0);
    out.push_back({"ne_table_at_header.exe", kZero, "TooLarge", selfTable});

    Bytes hugeShift = ne;
    put16(hugeShift, layout.table, 0xFFFF);
    out.push_back({"ne_huge_shift.exe", kZero, "TooLarge", hugeShift});

    out.push_back({"ne_cut_in_resource_table.exe", kZero, "Truncated", cut(ne, layout.table + 20)});
    out.push_back({"ne_cut_in_image_data.exe", all, "Missing", cut(ne, layout.firstData + 100)});
}

void addIcoCases(std::vector<Case>& out, const Bytes& depth8, const Bytes& pngIco)
{
    const std::string one = countOf(1);
    const Bytes base = singleEntryIco(depth8, 1); // 32x32@8, 20 colours
    const std::size_t dib = icoImageAt(base, 0);

    Bytes tiny = cut(base, 22 + 8); // header, one entry, 8 bytes of image
    put16(tiny, 4, 0xFFFF);
    out.push_back({"ico_count_ffff_tiny.ico", kZero, "TooLarge", tiny});

    Bytes offsetPastEnd = base;
    put32(offsetPastEnd, icoEntryAt(0) + 12, static_cast<std::uint32_t>(base.size() + 64));
    out.push_back({"ico_offset_past_end.ico", one, "Missing", offsetPastEnd});

    Bytes sizePastEnd = base;
    put32(sizePastEnd, icoEntryAt(0) + 8, 0xFFFFFFF0u);
    out.push_back({"ico_size_past_end.ico", one, "Missing", sizePastEnd});

    struct DibField {
        const char* name;
        std::size_t at; // in BITMAPINFOHEADER
        std::uint32_t value;
        bool wide; // 32 bits, else 16
        const char* reason;
    };
    const DibField fields[] = {
        {"dib_header_size_41.ico", 0, 41, true, "BadMagic"},
        {"dib_width_60000.ico", 4, 60000, true, "TooLarge"},
        {"dib_width_negative.ico", 4, static_cast<std::uint32_t>(-32), true, "BadMagic"},
        {"dib_width_zero.ico", 4, 0, true, "BadMagic"},
        {"dib_height_huge.ico", 8, 0x7FFFFFFE, true, "TooLarge"},
        {"dib_planes_2.ico", 12, 2, false, "BadMagic"},
        {"dib_bitcount_7.ico", 14, 7, false, "Unsupported"},
        {"dib_compression_rle8.ico", 16, 1, true, "Unsupported"},
        {"dib_clrused_ffffffff.ico", 32, 0xFFFFFFFFu, true, "Truncated"},
    };
    for (const DibField& f : fields) {
        Bytes bad = base;
        if (f.wide)
            put32(bad, dib + f.at, f.value);
        else
            put16(bad, dib + f.at, f.value);
        out.push_back({f.name, one, f.reason, bad});
    }

    // The entry and the file agree on a length that stops inside the pixels.
    Bytes shortDib = cut(base, dib + 40 + 20 * 4 + 100);
    put32(shortDib, icoEntryAt(0) + 8, static_cast<std::uint32_t>(shortDib.size() - dib));
    out.push_back({"dib_cut_in_pixels.ico", one, "Truncated", shortDib});

    const std::size_t png = icoImageAt(pngIco, 0);
    Bytes huge = pngIco;
    const std::size_t ihdr = pngChunkAt(huge, png, "IHDR");
    for (std::size_t field : {ihdr + 8, ihdr + 12}) { // width, height, big-endian
        huge.at(field) = 0;
        huge.at(field + 1) = 0;
        huge.at(field + 2) = 60000 >> 8;
        huge.at(field + 3) = 60000 & 0xFF;
    }
    fixPngCrc(huge, ihdr);
    out.push_back({"png_ihdr_60000.ico", one, "TooLarge", huge});

    const std::size_t idat = pngChunkAt(pngIco, png, "IDAT");
    std::size_t idatLength = 0;
    for (std::size_t i = 0; i < 4; ++i) // big-endian
        idatLength = idatLength << 8 | pngIco.at(idat + i);
    Bytes shortPng = cut(pngIco, idat + 8 + idatLength / 2);
    put32(shortPng, icoEntryAt(0) + 8, static_cast<std::uint32_t>(shortPng.size() - png));
    out.push_back({"png_cut_in_idat.ico", one, "Truncated", shortPng});
}

void addAniCases(std::vector<Case>& out, const Bytes& ani)
{
    const std::size_t anih = riffChunkAt(ani, 12, ani.size(), "anih");
    const std::size_t frames = riffChunkAt(ani, 12, ani.size(), "LIST", "fram");
    const std::size_t firstIcon = riffChunkAt(ani, frames + 12, ani.size(), "icon");

    // Each size makes offset + size wrap in 32 bits. A chunk that claims more
    // than is left ends at the end of the file: an oversized "anih" swallows
    // the frames, while an oversized frame list or frame still starts with a
    // whole CUR file.
    Bytes badHeader = ani;
    put32(badHeader, anih + 4, 0xFFFFFFF8u);
    out.push_back({"ani_anih_size_overflow.ani", kZero, "Missing", badHeader});
    Bytes badList = ani;
    put32(badList, frames + 4, 0xFFFFFFFCu);
    out.push_back({"ani_fram_size_overflow.ani", countOf(1), "none", badList});
    Bytes badIcon = ani;
    put32(badIcon, firstIcon + 4, 0xFFFFFFF0u);
    out.push_back({"ani_icon_size_overflow.ani", countOf(1), "none", badIcon});
}

void addOtherCases(std::vector<Case>& out)
{
    out.push_back({"empty.ico", kZero, "none", {}});
    out.push_back({"mz_only.exe", kZero, "none", {'M', 'Z'}});
    ByteSink text;
    text.text("Not an icon: plain text that happens to be named .dll\n");
    out.push_back({"plain_text.dll", kZero, "none", text.bytes});
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <fixture dir> <malformed dir> <files>...\n", argv[0]);
        return 2;
    }
    try {
        const fs::path in = argv[1], dir = argv[2];
        fs::create_directories(dir);
        std::vector<Case> cases;
        addPeCases(cases, readFile(in / "icons32.exe"), "pe32", ".exe");
        addPeCases(cases, readFile(in / "icons64.dll"), "pe64", ".dll");
        addNeCases(cases, readFile(in / "icons16.exe"));
        addIcoCases(cases, readFile(in / "depth8.ico"), readFile(in / "png_rgba.ico"));
        addAniCases(cases, readFile(in / "spinner.ani"));
        addOtherCases(cases);

        Outputs out;
        ByteSink manifest;
        for (const Case& c : cases) {
            out.write(dir / c.name, c.bytes);
            manifest.text(c.name + ' ' + c.expected + " reason=" + c.reason + '\n');
        }
        out.write(dir / "manifest.txt", manifest.bytes);
        out.expectExactly(std::vector<std::string>(argv + 3, argv + argc));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gb_make_malformed: %s\n", e.what());
        return 1;
    }
    return 0;
}

#pragma once
// The stand-in for ExtractIconEx: for one file, by its content and never by
// its name, how many icons it holds and each icon drawn at 32x32 and 16x16
// (and, when asked, for the 64 device pixels of a 32x32 view on a screen of
// twice the ordinary density).
//   PE32/PE32+ and NE: one icon per icon group (RT_GROUP_ICON);
//   ICO, CUR and ANI (first frame): one icon;
//   anything else: none.

#include "core/bytes/file_source.h"
#include "core/bytes/source_reader.h"
#include "core/icons/decode_memo.h"
#include "core/icons/icon_group.h"
#include "core/icons/icon_image.h"
#include "core/icons/resource_set.h"
#include "core/version/version_info.h"

#include <cstddef>
#include <expected>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

namespace gb {

// Which stored image was drawn at one size.
struct EntryInfo {
    bool found = false; // false: nothing drawable, the image is fully transparent
    ImageHeader header;
    std::size_t entry = 0;     // its position in the group, when found
    std::string label() const; // "32x32@8", "256x256@png", "none"
};

inline constexpr int kLargeIconSize = 32;
inline constexpr int kSmallIconSize = 16;
// The large icon's device pixels on a screen of twice the ordinary density.
// The small icon's are kLargeIconSize: the 32x32 drawing serves them.
inline constexpr int kLargeIconSize2x = 2 * kLargeIconSize;

// What is drawn besides the two sizes every icon has.
struct ExtractOptions {
    // Also each icon for kLargeIconSize2x, by the same choice rules.
    bool hiDpi = false;
};

struct ExtractedIcon {
    RgbaImage large; // 32x32
    RgbaImage small; // 16x16
    EntryInfo largeEntry;
    EntryInfo smallEntry;
    // 64x64, when asked for and the group stores more than the 32x32
    // drawing shows: an image chosen for 64 that is the 32x32 drawing's own
    // image at 32 pixels or fewer would only be that drawing enlarged, and
    // is left to the screen to enlarge.
    std::optional<RgbaImage> large2x;
    EntryInfo large2xEntry;
};

// Draws a group at both sizes (and for kLargeIconSize2x when asked). Never
// fails: a group with nothing drawable still yields two fully transparent
// images, so the icons after it keep their positions.
ExtractedIcon extractIcon(const IconGroup& group, ExtractOptions options = {});
// headers[i] is what entry i's own image header says, or nullopt when the
// image is missing or its header cannot be read.
std::vector<std::optional<ImageHeader>> probeGroupEntries(const IconGroup& group);

// One size only.
RgbaImage renderGroup(const IconGroup& group, int size, EntryInfo* chosen = nullptr);

class IconSource {
public:
    // Opens a file (only regular files) and indexes its icons. A small file
    // is read whole with one read; a larger one is read a range at a time,
    // only where its headers, directories and icons are. When `stop` is
    // requested, indexing and drawing give up with Cancelled.
    static std::expected<IconSource, ReadFailure> open(const std::string& path, std::stop_token stop = {});
    // The same for a file already open.
    static std::expected<IconSource, ReadFailure> open(FileSource file, std::stop_token stop = {});
    // The same for the file at `path` already open as `file`. A program
    // library in a System32 or SysWOW64 folder that holds no icon groups
    // gives the icons of ../SystemResources/NAME.mun instead when that file
    // exists, as the Windows 10 and 11 resource loader does.
    static std::expected<IconSource, ReadFailure> open(const std::string& path, FileSource file,
                                                       std::stop_token stop = {});
    // Indexes bytes the caller keeps alive (tests, fuzzing).
    static IconSource fromBytes(ByteReader bytes);
    // Indexes any source (tests), which the IconSource then owns.
    static IconSource fromSource(std::unique_ptr<ByteSource> source, std::stop_token stop = {});

    // A program file up to this size that holds icon groups is read whole
    // once indexed: one read costs less than the several its groups' ranges
    // take. Most files searched hold none, and are indexed from their
    // headers and directories alone.
    static constexpr std::uint64_t kWholeReadLimit = 1 << 20;

    IconSource(IconSource&&) noexcept = default;
    IconSource& operator=(IconSource&&) noexcept = default;

    // The size of the file (as it was when opened).
    std::uint64_t size() const { return source_->size(); }
    // The bytes the icons are read from, for readers of other resources
    // of the same file (its cursors).
    const ByteSource& bytes() const { return *source_; }
    int count() const;
    // A structural fault that made the count 0 (a PE whose resource directory
    // is broken, say). Files that are simply not icon sources report none.
    const std::optional<ReadFailure>& problem() const { return problem_; }

    std::expected<IconGroup, ReadFailure> group(int index) const;
    std::expected<ExtractedIcon, ReadFailure> icon(int index, ExtractOptions options = {}) const;
    // The resource an icon comes from in a program file (its id or name and
    // language); none for an icon file.
    const ResourceBlob* groupResource(int index) const;

    // The program's version information (PE files); none when it has none
    // or it cannot be read.
    std::optional<VersionInfo> versionInfo() const;

private:
    IconSource() = default;
    void index();
    void readWhole(FileSource& file);

    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<SourceReader> reader_; // over *source_, its cache kept between groups
    std::stop_token stop_;
    mutable ReadBudget budget_;
    std::shared_ptr<DecodeMemo> memo_;
    std::variant<std::monostate, ResourceSet, IconGroup> content_;
    std::optional<ReadFailure> problem_;
};

} // namespace gb

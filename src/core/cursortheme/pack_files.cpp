#include "core/cursortheme/pack_files.h"

#include "core/bytes/file_source.h"
#include "core/text/ascii.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace gb {

namespace {

bool endsWithIgnoringCase(const std::string& name, std::string_view end)
{
    return name.size() > end.size() &&
           equalIgnoringAsciiCase(std::string_view(name).substr(name.size() - end.size()), end);
}

void sortByName(std::vector<PackFile>& files)
{
    std::ranges::sort(files, [](const PackFile& a, const PackFile& b) {
        const std::string la = asciiLowered(a.name), lb = asciiLowered(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
}

// A member's folder and name: "pack/Busy.ani" in "a.zip//inner.7z//pack/Busy.ani".
struct MemberPlace {
    std::string folder; // every level but the last, then the last level's folder
    std::string name;
};

MemberPlace placeOf(const std::vector<std::string>& members)
{
    MemberPlace place;
    for (std::size_t i = 0; i + 1 < members.size(); ++i)
        place.folder += members[i] + "//";
    const std::string& last = members.back();
    const std::size_t slash = last.rfind('/');
    if (slash != std::string::npos)
        place.folder += last.substr(0, slash);
    place.name = slash == std::string::npos ? last : last.substr(slash + 1);
    return place;
}

std::string joined(const std::string& path, const std::vector<std::string>& members)
{
    std::string shown = path;
    for (const std::string& member : members)
        shown += "//" + member;
    return shown;
}

constexpr std::uint64_t kReadWholeBytes = std::uint64_t{1} << 20;

} // namespace

PackFile fileOnDisk(const std::string& path)
{
    return PackFile{std::filesystem::path(path).filename().string(), path,
                    [path]() -> std::expected<std::shared_ptr<const ByteSource>, std::string> {
                        auto file = FileSource::open(path);
                        if (!file)
                            return std::unexpected(describe(file.error()));
                        // A cursor is a few kilobytes: one read of the whole
                        // file costs less than the reader's many small ones.
                        if (file->size() <= kReadWholeBytes)
                            return std::make_shared<const MemorySource>(
                                std::make_shared<const std::vector<std::byte>>(file->readAll()));
                        return std::make_shared<const FileSource>(std::move(*file));
                    }};
}

bool hasCursorFileName(const std::string& name)
{
    return endsWithIgnoringCase(name, ".cur") || endsWithIgnoringCase(name, ".ani");
}

bool hasInfName(const std::string& name)
{
    return endsWithIgnoringCase(name, ".inf");
}

PackFolder packOnDisk(const std::string& folder)
{
    PackFolder pack;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        // A link to a file is followed when it is opened; anything but a
        // regular file (a FIFO would block) is passed over.
        if (!it->is_regular_file(error))
            continue;
        pack.files.push_back(fileOnDisk(it->path().string()));
    }
    if (error)
        pack.notes.push_back(folder + ": cannot be listed: " + error.message());
    sortByName(pack.files);
    return pack;
}

PackFolder packInContainer(const std::string& path, const ByteSource& source, const ContainerLimits& limits)
{
    std::map<std::string, std::vector<PackFile>> folders; // by folder, in container order
    std::vector<std::string> order;
    ContainerWalk walk{[](const std::string& name) { return hasCursorFileName(name); }, limits, {}};
    walk.anyContent = [](const std::string& name) { return hasInfName(name); };
    const std::vector<ContainerNote> notes = walkContainer(source, walk, [&](ContainerMember member) {
        const MemberPlace place = placeOf(member.members);
        std::shared_ptr<const ByteSource> bytes(member.takeSource());
        if (!folders.contains(place.folder))
            order.push_back(place.folder);
        folders[place.folder].push_back(PackFile{
            place.name, joined(path, member.members),
            [bytes]() -> std::expected<std::shared_ptr<const ByteSource>, std::string> { return bytes; }});
    });
    PackFolder pack;
    for (const ContainerNote& note : notes)
        pack.notes.push_back(joined(path, note.members) + ": " + describe(note));
    const auto count = [&](const std::string& folder, auto pred) {
        return std::ranges::count_if(folders[folder], [&](const PackFile& f) { return pred(f.name); });
    };
    const std::string* chosen = nullptr;
    for (const std::string& folder : order)
        if (count(folder, hasInfName) > 0) {
            chosen = &folder;
            break;
        }
    if (!chosen)
        for (const std::string& folder : order)
            if (!chosen || count(folder, hasCursorFileName) > count(*chosen, hasCursorFileName))
                chosen = &folder;
    if (chosen) {
        pack.files = std::move(folders[*chosen]);
        sortByName(pack.files);
    }
    return pack;
}

} // namespace gb

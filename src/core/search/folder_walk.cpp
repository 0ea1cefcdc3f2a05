#include "core/search/folder_walk.h"

#include "core/bytes/descriptor.h"

#include "core/search/folder_listing.h"

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

namespace gb {

namespace {

// Folders kept open at once along the current path. Deeper trees close
// the descriptors furthest up and reopen each through its child's ".."
// on the way back, so depth is not bounded by the descriptor limit.
constexpr std::size_t kMaxOpenFolders = 64;

struct Frame {
    std::string folder;
    FolderListing listing;
    std::size_t subfoldersLeft = 0; // the next subfolder taken is subfolders[subfoldersLeft - 1]
    Descriptor fd;
    int lostError = 0; // why fd could not be reopened after it was closed for depth
};

} // namespace

void walkFolderTree(const std::string& start, const WalkOptions& options, WalkVisitor& visitor,
                    const FolderOpener& openFolder)
{
    bool goingOn = true; // the answer of the last poll point
    const FolderOpener open = openFolder ? openFolder : FolderOpener(openSubfolder);

    enum class Entry { Entered, Abandoned, Unreadable };
    std::vector<Frame> stack;
    // openIt gives the folder's descriptor, or -1 with errno set.
    const auto enter = [&](const std::string& folder, auto openIt) {
        if (!goingOn)
            return Entry::Abandoned;
        goingOn = visitor.poll();
        Descriptor fd(openIt());
        if (!fd.open()) {
            // Skipped alone: its siblings and its parent's files are still searched.
            visitor.unreadableFolder(folder, errno);
            return Entry::Unreadable;
        }
        auto listing = listFolderAt(fd.get(), options.pattern, options.subfolders, options.containers);
        if (!listing) {
            visitor.unreadableFolder(folder, listing.error());
            return Entry::Unreadable;
        }
        const std::size_t count = listing->subfolders.size();
        stack.push_back(Frame{folder, std::move(*listing), count, std::move(fd)});
        if (stack.size() > kMaxOpenFolders)
            stack[stack.size() - 1 - kMaxOpenFolders].fd.reset();
        return Entry::Entered;
    };

    enter(start, [&] { return ::open(start.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.subfoldersLeft > 0 && goingOn) {
            const std::string name = frame.listing.subfolders[--frame.subfoldersLeft];
            const std::string sub = childPath(frame.folder, name);
            const int parent = frame.fd.get();
            goingOn = visitor.poll();
            if (enter(sub, [&] { return open(parent, name); }) == Entry::Abandoned)
                stack.pop_back(); // the folder that descended skips its own files
            continue;
        }
        // Moved out first: visiting may take long, and the frame is done.
        Frame done = std::move(frame);
        stack.pop_back();
        if (!stack.empty() && !stack.back().fd.open()) {
            // Its parent was closed for depth: reopened as the real ".." of
            // this folder, never through a link.
            stack.back().fd = Descriptor(::openat(done.fd.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (!stack.back().fd.open()) {
                stack.back().lostError = errno;
                stack.back().subfoldersLeft = 0; // its other subfolders cannot be reached safely
            }
        }
        if (!done.fd.open()) {
            // Nor can its files: by their path they could lie elsewhere now.
            if (!done.listing.files.empty())
                visitor.unreadableFolder(done.folder, done.lostError);
            continue;
        }
        // Its files are opened through its descriptor, held until the last.
        for (const std::string& name : done.listing.files)
            visitor.file(FoundFile{childPath(done.folder, name), done.fd.get(), name});
    }
}

namespace {

class FileCollector : public WalkVisitor {
public:
    FileCollector(std::vector<std::string>& found, std::size_t most) : found_(found), most_(most) {}
    bool poll() override { return found_.size() < most_; }
    void file(const FoundFile& file) override
    {
        if (found_.size() < most_)
            found_.push_back(file.path);
    }

private:
    std::vector<std::string>& found_;
    std::size_t most_;
};

} // namespace

std::vector<std::string> filesBelow(const std::string& root, const FilePattern& pattern, std::size_t most,
                                    bool subfolders)
{
    std::vector<std::string> found;
    FileCollector collector(found, most);
    walkFolderTree(root, WalkOptions{subfolders, pattern, false}, collector);
    // The walk takes subfolders last to first; a listing reads in order.
    std::ranges::sort(found, listOrder);
    return found;
}

} // namespace gb

#include "search/folder_walk.h"

#include "search/folder_listing.h"

#include <optional>
#include <vector>

namespace gb {

namespace {

struct Frame {
    std::string folder;
    FolderListing listing;
    std::size_t subfoldersLeft = 0; // the next subfolder taken is subfolders[subfoldersLeft - 1]
};

} // namespace

void walkFolderTree(const std::string& start, const WalkOptions& options, WalkVisitor& visitor)
{
    bool goingOn = true; // the answer of the last poll point

    enum class Entry { Entered, Abandoned, Unreadable };
    std::vector<Frame> stack;
    const auto enter = [&](const std::string& folder) {
        if (!goingOn)
            return Entry::Abandoned;
        goingOn = visitor.poll();
        auto listing = listFolder(folder, options.pattern, options.subfolders);
        if (!listing) {
            // Skipped alone: its siblings and its parent's files are still searched.
            visitor.unreadableFolder(folder, listing.error());
            return Entry::Unreadable;
        }
        const std::size_t count = listing->subfolders.size();
        stack.push_back(Frame{folder, std::move(*listing), count});
        return Entry::Entered;
    };

    enter(start);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.subfoldersLeft > 0 && goingOn) {
            const std::string sub = childPath(frame.folder, frame.listing.subfolders[--frame.subfoldersLeft]);
            goingOn = visitor.poll();
            if (enter(sub) == Entry::Abandoned)
                stack.pop_back(); // the folder that descended skips its own files
            continue;
        }
        // Moved out first: visiting may take long, and the frame is done.
        const Frame done = std::move(frame);
        stack.pop_back();
        for (const std::string& name : done.listing.files)
            visitor.file(childPath(done.folder, name));
    }
}

} // namespace gb

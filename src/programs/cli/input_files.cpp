#include "programs/cli/input_files.h"

#include "core/search/folder_walk.h"

#include <cstring>
#include <sys/stat.h>

namespace gb::cli {

void reportUnreadableFolder(std::ostream& err, const std::string& folder, int error)
{
    err << "glimmerbox-cli: " << folder << ": cannot read the folder: " << std::strerror(error) << '\n';
}

void walkInputs(const Command& command, const std::function<void(Input)>& each)
{
    class Collector : public WalkVisitor {
    public:
        explicit Collector(const std::function<void(Input)>& each) : each_(each) {}
        bool poll() override { return true; }
        void file(const FoundFile& file) override { each_(Input{InputFile{file.path, file.open()}, {}, 0}); }
        void unreadableFolder(const std::string& path, int error) override
        {
            each_(Input{std::nullopt, path, error});
        }

    private:
        const std::function<void(Input)>& each_;
    };

    const WalkOptions walk{command.walk.recursive, FilePattern(normalisePatternText(command.walk.pattern))};
    for (const std::string& path : command.paths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            Collector collector(each);
            walkFolderTree(path, walk, collector);
        } else {
            each(Input{InputFile{path, FileSource::open(path)}, {}, 0}); // opening it reports what is wrong
        }
    }
}

} // namespace gb::cli

#include "programs/cli/input_files.h"

#include "core/search/folder_walk.h"
#include "core/text/escaped_text.h"

#include <cstring>
#include <sys/stat.h>

namespace gb::cli {

void reportUnreadableFolder(std::ostream& err, const std::string& folder, int error)
{
    err << "glimmerbox-cli: " << escapeText(folder) << ": cannot read the folder: " << std::strerror(error)
        << '\n';
}

void walkInputs(const Command& command, const std::function<void(Input)>& each)
{
    class Collector : public WalkVisitor {
    public:
        Collector(const std::function<void(Input)>& each, const FilePattern& pattern)
            : each_(each), pattern_(pattern)
        {
        }
        bool poll() override { return true; }
        void file(const FoundFile& file) override
        {
            each_(Input{InputFile{file.path, file.open(), pattern_.matches(file.name)}, {}, 0});
        }
        void unreadableFolder(const std::string& path, int error) override
        {
            each_(Input{std::nullopt, path, error});
        }

    private:
        const std::function<void(Input)>& each_;
        const FilePattern& pattern_;
    };

    const WalkOptions walk{command.walk.recursive, FilePattern(normalisePatternText(command.walk.pattern)),
                           command.walk.containers};
    for (const std::string& path : command.paths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            Collector collector(each, walk.pattern);
            walkFolderTree(path, walk, collector);
        } else {
            each(Input{
                InputFile{path, FileSource::open(path), true}, {}, 0}); // opening it reports what is wrong
        }
    }
}

namespace {

SourceWalk sourceWalkOf(const Command& command, const FilePattern& pattern)
{
    return SourceWalk{command.walk.containers,
                      [&pattern](const std::string& name) { return pattern.matches(name); },
                      {},
                      {},
                      {}};
}

} // namespace

void forEachInputSourceOnCores(InputFile& input, const Command& command, const SourceWork& work)
{
    const FilePattern pattern(normalisePatternText(command.walk.pattern));
    produceSourcesOnCores(std::move(input), sourceWalkOf(command, pattern),
                          command.jobs ? command.jobs : allCores(), work);
}

} // namespace gb::cli

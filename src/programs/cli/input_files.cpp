#include "programs/cli/input_files.h"

#include "core/catalogue/icon_origin.h"
#include "core/containers/container_walk.h"
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

// Indexes a file for listing or export. A file that is no icon source is
// read fine and holds no icons; a broken one, or one that cannot be opened,
// is a failure, with the reason.
std::expected<IconSource, std::string> openSource(InputFile& input)
{
    auto source = input.file ? IconSource::open(input.path, std::move(*input.file))
                             : std::unexpected(input.file.error());
    if (!source)
        return std::unexpected(describe(source.error()));
    if (source->problem())
        return std::unexpected(describe(*source->problem()));
    return std::move(*source);
}

} // namespace

void forEachInputSourceOnCores(InputFile& input, const Command& command, unsigned workers,
                               const std::function<std::function<void()>(InputSource)>& work)
{
    const auto handOn = [](const std::function<void()>& after) {
        if (after)
            after();
    };
    if (!input.file || !command.walk.containers || sniffContainer(*input.file) == ContainerKind::None) {
        if (input.matched)
            handOn(work(InputSource{input.path, openSource(input)}));
        return;
    }
    const FilePattern pattern(normalisePatternText(command.walk.pattern));
    const ContainerWalk walk{[&pattern](const std::string& name) { return pattern.matches(name); }, {}, {}};
    const std::vector<ContainerNote> notes =
        walkContainerOnCores(*input.file, walk, workers, [&](ContainerMember member) {
            IconSource source = IconSource::fromSource(member.takeSource());
            const std::string path = IconOrigin{input.path, 0, std::move(member.members)}.memberPath();
            if (source.problem())
                return work(InputSource{path, std::unexpected(describe(*source.problem()))});
            return work(InputSource{path, std::move(source)});
        });
    for (const ContainerNote& note : notes)
        handOn(work(InputSource{IconOrigin{input.path, 0, note.members}.memberPath(),
                                std::unexpected(describe(note))}));
}

} // namespace gb::cli

#pragma once
// The files a glimmerbox-cli command reads, in catalogue order: a file path
// as given, a folder walked as the window walks it. Each file is opened by
// the walk (a found one through its folder), read by `read` on one of
// `jobs` threads, and its result handed to `deliver` on the caller's thread
// in the walk's order; so the output is the same for any number of jobs. A
// folder that cannot be read is reported in its place in that order.

#include "core/jobs/ordered_work.h"
#include "core/sources/source_producer.h"
#include "programs/cli/cli_options.h"

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace gb::cli {

// A file given or found, opened by the walk.
using InputFile = FoundSourceFile;

// The sources of one input, in order (see produceSources): the file itself;
// or, with --archives and a container by its content, each member read for
// icons, then each member skipped or container stopped with its reason. A
// file only named like a container that is none gives nothing. What `read`
// makes of each is kept in that order; a container's members are read on as
// many threads as the command allows (-j), side by side.
void forEachInputSourceOnCores(InputFile& input, const Command& command, const SourceWork& work);
template <class Result>
std::vector<Result> readInputSources(InputFile& input, const Command& command,
                                     const std::function<Result(ProducedSource)>& read)
{
    std::vector<Result> all;
    forEachInputSourceOnCores(input, command, [&all, &read](ProducedSource source) -> std::function<void()> {
        auto result = std::make_shared<Result>(read(std::move(source)));
        return [&all, result] { all.push_back(std::move(*result)); };
    });
    return all;
}

// An input file, or a folder that could not be read (error != 0).
struct Input {
    std::optional<InputFile> file;
    std::string folder;
    int error = 0;
};

// Walks the command's paths and hands on each input, in order.
void walkInputs(const Command& command, const std::function<void(Input)>& each);

// "glimmerbox-cli: FOLDER: cannot read the folder: REASON"
void reportUnreadableFolder(std::ostream& err, const std::string& folder, int error);

// Returns false when a folder could not be read. At most `window` files are
// read or waiting to be delivered at once. A folder that cannot be read is
// reported on `err`, or handed to `unreadable` in its place in the order.
template <class Result>
bool readInputFiles(const Command& command, std::ostream& err, std::size_t window,
                    const std::function<Result(InputFile& file)>& read,
                    const std::function<void(Result& result)>& deliver,
                    const std::function<void(const std::string& folder, int error)>& unreadable = {})
{
    struct Outcome {
        std::optional<Result> result;
        std::string folder;
        int error = 0;
    };
    bool allRead = true;
    OrderedWork<Input, Outcome> work(
        command.jobs ? command.jobs : allCores(),
        [&read](Input& input) {
            if (!input.file)
                return Outcome{std::nullopt, std::move(input.folder), input.error};
            return Outcome{read(*input.file), {}, 0};
        },
        [&](Outcome& outcome) {
            if (outcome.result) {
                deliver(*outcome.result);
                return;
            }
            if (unreadable)
                unreadable(outcome.folder, outcome.error);
            else
                reportUnreadableFolder(err, outcome.folder, outcome.error);
            allRead = false;
        },
        window);
    walkInputs(command, [&work](Input input) { work.submit(std::move(input)); });
    work.finish();
    return allRead;
}

} // namespace gb::cli

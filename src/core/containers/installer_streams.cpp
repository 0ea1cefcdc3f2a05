// The file-bearing streams of a Windows Installer package, read through
// libgsf's compound file reader (compound_file.h). Only the root storage is walked: the
// database keeps its tables and files there, and a nested storage (an
// embedded transform) holds tables, not files.
#include "core/containers/installer_streams.h"

#include "core/bytes/source_reader.h"
#include "core/containers/compound_directory.h"
#include "core/containers/compound_file.h"
#include "core/icons/ico_directory.h"

#include <array>
#include <limits>

namespace gb {
namespace {

// libgsf finds the i-th entry by walking a list, so visiting every entry
// costs the square of their number. A real package holds its tables (about
// a hundred), its icons, binaries and cabinets: a few hundred streams.
constexpr int kMaxStreams = 4096;

// Enough for every signature checked below: "RIFF" size "ACON".
constexpr std::size_t kHeadSize = 12;
constexpr std::array<std::uint8_t, 4> kCabinet = {'M', 'S', 'C', 'F'};

// The Icon and Binary tables store each row's file as a stream named
// "Table.Key"; nothing else in a database holds files but cabinets.
bool namesIconOrBinary(const std::string& name)
{
    return name.starts_with("Icon.") || name.starts_with("Binary.");
}

bool looksLikeIconOrProgram(const SourceReader& head)
{
    static constexpr std::array<std::uint8_t, 2> kProgram = {'M', 'Z'};
    return head.startsWith(0, kProgram) || looksLikeIcoFile(head) || looksLikeAniFile(head);
}

ContainerNote memberNote(const std::string& name, ContainerProblem problem, std::string detail)
{
    return ContainerNote{{name}, problem, std::move(detail)};
}

} // namespace

std::vector<ContainerNote> walkInstallerStreams(const ByteSource& source, const ContainerLimits& limits,
                                                DecompressionAllowance& allowance,
                                                const std::stop_token& stop,
                                                const std::function<void(InstallerStream)>& stream)
{
    std::vector<ContainerNote> notes;
    if (auto refusal = directoryRefusal(SourceReader(source))) {
        notes.push_back({{}, ContainerProblem::Damaged, std::move(*refusal)});
        return notes;
    }
    const auto root = CompoundFile::open(source);
    if (!root) {
        notes.push_back({{}, ContainerProblem::Damaged, root.error()});
        return notes;
    }

    // What libgsf copies to open a stream (small streams are read whole on
    // opening) and what is copied out of it both count: streams may share
    // their sectors, so a small package can claim many times its size.
    const auto spend = [&allowance](std::uint64_t bytes) { return allowance.take(bytes); };
    const auto bomb = [&] { notes.push_back({{}, ContainerProblem::Bomb, sizeText(allowance.total())}); };

    const int count = root->count();
    for (int i = 0; i < count; ++i) {
        if (stop.stop_requested()) {
            notes.push_back({{}, ContainerProblem::Cancelled, {}});
            break;
        }
        if (i == kMaxStreams) {
            notes.push_back(
                {{}, ContainerProblem::Damaged, "more than " + std::to_string(kMaxStreams) + " streams"});
            break;
        }
        const std::string name = unpackStreamName(root->name(i));
        const auto child = root->child(i);
        if (!child) {
            notes.push_back(
                memberNote(name, ContainerProblem::Damaged,
                           child.error().empty() ? "the stream cannot be opened" : child.error()));
            continue;
        }
        if (child->isStorage())
            continue;
        const std::uint64_t size = child->size();
        // Checked only once it is open, so the allowance can be passed by one
        // stream: never more than the package's size.
        if (!spend(size)) {
            bomb();
            break;
        }

        std::array<std::byte, kHeadSize> headBytes{};
        const std::span head(headBytes.data(), std::min<std::uint64_t>(size, kHeadSize));
        if (!child->readFromStart(head)) {
            notes.push_back(memberNote(name, ContainerProblem::Damaged, "the stream cannot be read"));
            continue;
        }
        const MemorySource headSource{ByteReader(head)};
        const SourceReader headReader(headSource);
        const bool cabinet = headReader.startsWith(0, kCabinet);
        if (!cabinet && !(namesIconOrBinary(name) && looksLikeIconOrProgram(headReader)))
            continue;
        if (size > limits.memberCap) {
            notes.push_back(memberNote(name, ContainerProblem::TooLarge, std::to_string(size) + " bytes"));
            continue;
        }
        if (!spend(size)) {
            bomb();
            break;
        }
        auto bytes = std::make_shared<std::vector<std::byte>>(size);
        if (!child->readFromStart(*bytes)) {
            notes.push_back(memberNote(name, ContainerProblem::Damaged, "the stream cannot be read"));
            continue;
        }
        stream(InstallerStream{name, cabinet, std::move(bytes)});
    }
    return notes;
}

} // namespace gb

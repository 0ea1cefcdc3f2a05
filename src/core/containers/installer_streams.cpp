// The file-bearing streams of a Windows Installer package, read through
// libgsf's compound file reader. Only the root storage is walked: the
// database keeps its tables and files there, and a nested storage (an
// embedded transform) holds tables, not files.
#include "core/containers/installer_streams.h"

#include "core/bytes/source_reader.h"
#include "core/containers/compound_directory.h"
#include "core/containers/gsf_messages.h"
#include "core/containers/gsf_source_input.h"
#include "core/icons/ico_directory.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input.h>

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

std::string storedName(const char* utf8)
{
    // libgsf gives the UTF-16 name as UTF-8; packed names are unpacked from
    // the units themselves.
    gunichar2* units = g_utf8_to_utf16(utf8, -1, nullptr, nullptr, nullptr);
    if (units == nullptr)
        return utf8;
    std::u16string stored;
    for (const gunichar2* u = units; *u != 0; ++u)
        stored += static_cast<char16_t>(*u);
    g_free(units);
    return unpackStreamName(stored);
}

bool readFromStart(GsfInput* stream, std::span<std::byte> out)
{
    if (out.empty())
        return true;
    return gsf_input_seek(stream, 0, G_SEEK_SET) == FALSE &&
           gsf_input_read(stream, out.size(), reinterpret_cast<guint8*>(out.data())) != nullptr;
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
    GsfMessages messages;
    const GObjectPtr<GsfInput> input = newSourceInput(source);
    GError* error = nullptr;
    const GObjectPtr<GsfInfile> root(gsf_infile_msole_new(input.get(), &error));
    if (!root) {
        std::string detail = error != nullptr ? error->message : "not a compound file";
        if (const std::string warned = messages.take(); !warned.empty())
            detail += ": " + warned;
        g_clear_error(&error);
        notes.push_back({{}, ContainerProblem::Damaged, std::move(detail)});
        return notes;
    }

    // What libgsf copies to open a stream (small streams are read whole on
    // opening) and what is copied out of it both count: streams may share
    // their sectors, so a small package can claim many times its size.
    const auto spend = [&allowance](std::uint64_t bytes) { return allowance.take(bytes); };
    const auto bomb = [&] { notes.push_back({{}, ContainerProblem::Bomb, sizeText(allowance.total())}); };

    const int count = gsf_infile_num_children(root.get());
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
        const char* utf8 = gsf_infile_name_by_index(root.get(), i);
        const std::string name = storedName(utf8 != nullptr ? utf8 : "");
        (void)messages.take();
        const GObjectPtr<GsfInput> child(gsf_infile_child_by_index(root.get(), i));
        if (!child) {
            const std::string warned = messages.take();
            notes.push_back(memberNote(name, ContainerProblem::Damaged,
                                       warned.empty() ? "the stream cannot be opened" : warned));
            continue;
        }
        if (gsf_infile_num_children(GSF_INFILE(child.get())) >= 0)
            continue; // a storage
        const auto size = static_cast<std::uint64_t>(gsf_input_size(child.get()));
        // Checked only once it is open, so the allowance can be passed by one
        // stream: never more than the package's size.
        if (!spend(size)) {
            bomb();
            break;
        }

        std::array<std::byte, kHeadSize> headBytes{};
        const std::span head(headBytes.data(), std::min<std::uint64_t>(size, kHeadSize));
        if (!readFromStart(child.get(), head)) {
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
        if (!readFromStart(child.get(), *bytes)) {
            notes.push_back(memberNote(name, ContainerProblem::Damaged, "the stream cannot be read"));
            continue;
        }
        stream(InstallerStream{name, cabinet, std::move(bytes)});
    }
    return notes;
}

} // namespace gb

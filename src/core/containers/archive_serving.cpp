// The archive reader process's serving loop: libarchive is linked into that
// process alone, so the programs that start it never load it.
#include "core/containers/archive_serving.h"

#include "core/bytes/file_source.h"
#include "core/containers/archive_channel.h"
#include "core/containers/decompression_allowance.h"
#include "core/containers/libarchive_reader.h"

namespace gb {
int serveArchive(int archiveFd, int channel, std::uint64_t allowanceBytes)
{
    DecompressionAllowance allowance(allowanceBytes);
    ArchiveReply reply;
    const auto answer = [&](ReplyTag tag) {
        reply.tag = tag;
        reply.charged = allowance.taken();
        return sendAll(channel, encodeReply(reply));
    };
    const auto answerFault = [&](ArchiveFault fault) {
        reply.fault = std::move(fault);
        return answer(ReplyTag::Fault);
    };

    auto file = FileSource::adoptDescriptor(archiveFd);
    if (!file)
        return answerFault(
                   {ContainerProblem::Damaged, "the archive was not handed over", FaultScope::Container})
                   ? 0
                   : 1;
    auto reader = LibarchiveReader::open(*file, allowance, {});
    if (!reader)
        return answerFault(reader.error()) ? 0 : 1;
    if (!answer(ReplyTag::Opened))
        return 1;

    std::vector<std::byte> buffer;
    for (;;) {
        std::byte request{};
        if (!receiveAll(channel, std::span(&request, 1)))
            return 0;
        reply = {};
        bool sent = false;
        if (request == static_cast<std::byte>(ArchiveRequest::Next)) {
            // Folders, links and nameless entries are passed over here: the
            // walk reads only regular files, and a million folders are a
            // million round trips otherwise.
            auto entry = reader->next();
            while (entry && *entry && (!(*entry)->regularFile || (*entry)->name.empty()))
                entry = reader->next();
            if (!entry) {
                sent = answerFault(entry.error());
            } else if (!*entry) {
                sent = answer(ReplyTag::End);
            } else {
                reply.entry = std::move(**entry);
                sent = answer(ReplyTag::Entry);
            }
        } else if (request == static_cast<std::byte>(ArchiveRequest::Read)) {
            std::byte size[4];
            if (!receiveAll(channel, size))
                return 0;
            std::uint32_t asked = 0;
            for (int i = 3; i >= 0; --i)
                asked = (asked << 8) | static_cast<std::uint32_t>(size[i]);
            buffer.resize(std::min(asked, kMaxReadRequest));
            auto n = reader->read(buffer);
            if (!n) {
                sent = answerFault(n.error());
            } else {
                reply.data.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(*n));
                sent = answer(ReplyTag::Data);
            }
        } else {
            return 1;
        }
        if (!sent)
            return 1;
    }
}

} // namespace gb

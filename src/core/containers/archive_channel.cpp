#include "core/containers/archive_channel.h"

#include <algorithm>
#include <cerrno>
#include <sys/socket.h>

namespace gb {

namespace {

constexpr std::uint8_t kRegularFile = 1;
constexpr std::uint8_t kEncrypted = 2;
constexpr std::uint8_t kSizeKnown = 4;

template <typename Integer> void putLittleEndian(std::vector<std::byte>& out, Integer value)
{
    for (std::size_t i = 0; i < sizeof(Integer); ++i)
        out.push_back(static_cast<std::byte>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF));
}

template <typename Integer> Integer littleEndian(std::span<const std::byte> bytes)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(Integer); ++i)
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return static_cast<Integer>(value);
}

void putText(std::vector<std::byte>& out, const std::string& text, std::uint32_t most)
{
    const auto length = static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), most));
    putLittleEndian(out, length);
    const auto* bytes = reinterpret_cast<const std::byte*>(text.data());
    out.insert(out.end(), bytes, bytes + length);
}

ArchiveFault brokenReply(const char* what)
{
    return {ContainerProblem::Hostile, std::string("the reader's reply broke the rules: ") + what,
            FaultScope::Container};
}

template <typename Integer> std::expected<Integer, ArchiveFault> receiveInteger(const ReceiveExactly& receive)
{
    std::byte bytes[sizeof(Integer)];
    if (auto got = receive(bytes); !got)
        return std::unexpected(got.error());
    return littleEndian<Integer>(bytes);
}

std::expected<std::string, ArchiveFault> receiveText(const ReceiveExactly& receive, std::uint32_t most)
{
    const auto length = receiveInteger<std::uint32_t>(receive);
    if (!length)
        return std::unexpected(length.error());
    if (*length > most)
        return std::unexpected(brokenReply("a text too long"));
    std::string text(*length, '\0');
    if (auto got = receive(std::as_writable_bytes(std::span(text))); !got)
        return std::unexpected(got.error());
    return text;
}

bool knownProblem(std::uint8_t value)
{
    return value <= static_cast<std::uint8_t>(ContainerProblem::Hostile);
}

} // namespace

bool sendAll(int socket, std::span<const std::byte> bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

bool receiveAll(int socket, std::span<std::byte> out)
{
    while (!out.empty()) {
        const ssize_t n = ::recv(socket, out.data(), out.size(), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out = out.subspan(static_cast<std::size_t>(n));
    }
    return true;
}

std::vector<std::byte> encodeRequest(ArchiveRequest request, std::uint32_t readSize)
{
    std::vector<std::byte> out{static_cast<std::byte>(request)};
    if (request == ArchiveRequest::Read)
        putLittleEndian(out, readSize);
    return out;
}

std::vector<std::byte> encodeReply(const ArchiveReply& reply)
{
    std::vector<std::byte> out{static_cast<std::byte>(reply.tag)};
    putLittleEndian(out, reply.charged);
    switch (reply.tag) {
    case ReplyTag::Opened:
    case ReplyTag::End: break;
    case ReplyTag::Entry: {
        const std::uint8_t flags = (reply.entry.regularFile ? kRegularFile : 0) |
                                   (reply.entry.encrypted ? kEncrypted : 0) |
                                   (reply.entry.size ? kSizeKnown : 0);
        putLittleEndian(out, flags);
        putLittleEndian(out, reply.entry.size.value_or(0));
        putText(out, reply.entry.name, kMaxReplyName);
        break;
    }
    case ReplyTag::Data:
        putLittleEndian(out, static_cast<std::uint32_t>(reply.data.size()));
        out.insert(out.end(), reply.data.begin(), reply.data.end());
        break;
    case ReplyTag::Fault:
        putLittleEndian(out, static_cast<std::uint8_t>(reply.fault.problem));
        putLittleEndian(out, static_cast<std::uint8_t>(reply.fault.scope));
        putText(out, reply.fault.detail, kMaxReplyDetail);
        break;
    }
    return out;
}

std::expected<ArchiveReply, ArchiveFault> receiveReply(const ReceiveExactly& receive, std::uint32_t asked)
{
    ArchiveReply reply;
    const auto tag = receiveInteger<std::uint8_t>(receive);
    if (!tag)
        return std::unexpected(tag.error());
    const auto charged = receiveInteger<std::uint64_t>(receive);
    if (!charged)
        return std::unexpected(charged.error());
    reply.charged = *charged;
    switch (static_cast<ReplyTag>(*tag)) {
    case ReplyTag::Opened:
    case ReplyTag::End: reply.tag = static_cast<ReplyTag>(*tag); return reply;
    case ReplyTag::Entry: {
        reply.tag = ReplyTag::Entry;
        const auto flags = receiveInteger<std::uint8_t>(receive);
        if (!flags)
            return std::unexpected(flags.error());
        const auto size = receiveInteger<std::uint64_t>(receive);
        if (!size)
            return std::unexpected(size.error());
        auto name = receiveText(receive, kMaxReplyName);
        if (!name)
            return std::unexpected(name.error());
        reply.entry.name = std::move(*name);
        reply.entry.regularFile = (*flags & kRegularFile) != 0;
        reply.entry.encrypted = (*flags & kEncrypted) != 0;
        if ((*flags & kSizeKnown) != 0)
            reply.entry.size = *size;
        return reply;
    }
    case ReplyTag::Data: {
        reply.tag = ReplyTag::Data;
        const auto length = receiveInteger<std::uint32_t>(receive);
        if (!length)
            return std::unexpected(length.error());
        if (*length > asked)
            return std::unexpected(brokenReply("more data than was asked for"));
        reply.data.resize(*length);
        if (auto got = receive(reply.data); !got)
            return std::unexpected(got.error());
        return reply;
    }
    case ReplyTag::Fault: {
        reply.tag = ReplyTag::Fault;
        const auto problem = receiveInteger<std::uint8_t>(receive);
        if (!problem)
            return std::unexpected(problem.error());
        const auto scope = receiveInteger<std::uint8_t>(receive);
        if (!scope)
            return std::unexpected(scope.error());
        if (!knownProblem(*problem) || *scope > static_cast<std::uint8_t>(FaultScope::NotAnArchive))
            return std::unexpected(brokenReply("an unknown fault"));
        auto detail = receiveText(receive, kMaxReplyDetail);
        if (!detail)
            return std::unexpected(detail.error());
        reply.fault = {static_cast<ContainerProblem>(*problem), std::move(*detail),
                       static_cast<FaultScope>(*scope)};
        return reply;
    }
    }
    return std::unexpected(brokenReply("an unknown reply"));
}

} // namespace gb

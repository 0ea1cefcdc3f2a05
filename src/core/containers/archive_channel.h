#pragma once
// The messages between the program and its archive reader process, over
// one stream socket. The program asks; the reader answers each request
// with one reply, which carries how many bytes the reader has charged to
// its decompression allowance so far, so the program's allowance follows.
//
//   request  'N'               the next regular file's header (folders,
//                              links and nameless entries are passed over)
//            'R' u32 n         up to n more bytes of the current entry
//   reply    tag u64 charged, then by tag:
//            'O'               the archive is open
//            'E' u8 flags u64 size u32 length name
//            'Z'               no more entries
//            'D' u32 length bytes
//            'F' u8 problem u8 scope u32 length detail
//
// Integers are little-endian. The program checks every length against the
// limits below before it reserves anything: the reader is the party that
// read hostile bytes.

#include "core/containers/archive_types.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace gb {

enum class ArchiveRequest : std::uint8_t { Next = 'N', Read = 'R' };

enum class ReplyTag : std::uint8_t {
    Opened = 'O',
    Entry = 'E',
    End = 'Z',
    Data = 'D',
    Fault = 'F',
};

// A member name past this is no name any file system keeps; a fault's
// detail is one library message.
inline constexpr std::uint32_t kMaxReplyName = 64 * 1024;
inline constexpr std::uint32_t kMaxReplyDetail = 4 * 1024;
// The most one read request may ask for.
inline constexpr std::uint32_t kMaxReadRequest = 1024 * 1024;

struct ArchiveReply {
    ReplyTag tag = ReplyTag::End;
    std::uint64_t charged = 0;
    ArchiveEntry entry;          // Entry
    std::vector<std::byte> data; // Data
    ArchiveFault fault;          // Fault
};

// Writes all of `bytes` to the socket, never raising SIGPIPE: a side that
// hung up is a failed send. False when it could not.
bool sendAll(int socket, std::span<const std::byte> bytes);
// Exactly out.size() bytes; false at the other side's hang-up or a failure.
bool receiveAll(int socket, std::span<std::byte> out);

std::vector<std::byte> encodeRequest(ArchiveRequest request, std::uint32_t readSize = 0);
std::vector<std::byte> encodeReply(const ArchiveReply& reply);

// Fills its span entirely, or says why it could not; the caller's own
// reason (the process ended, a stop) is passed through.
using ReceiveExactly = std::function<std::expected<void, ArchiveFault>(std::span<std::byte>)>;

// One reply, read through `receive`; a reply that breaks the rules above
// (an unknown tag, a length past its limit or past what was asked) is a
// fault of the whole archive.
std::expected<ArchiveReply, ArchiveFault> receiveReply(const ReceiveExactly& receive, std::uint32_t asked);

} // namespace gb

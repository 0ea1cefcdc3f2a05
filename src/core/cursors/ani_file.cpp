#include "core/cursors/ani_file.h"

#include "core/bytes/source_reader.h"
#include "core/cursors/cur_file.h"
#include "core/cursors/cursor_image.h"
#include "core/text/ansi_text.h"

#include <string_view>

namespace gb {

namespace {

constexpr std::uint8_t kRiff[] = {'R', 'I', 'F', 'F'};
constexpr std::uint8_t kAcon[] = {'A', 'C', 'O', 'N'};
constexpr std::uint8_t kList[] = {'L', 'I', 'S', 'T'};
constexpr std::uint8_t kFram[] = {'f', 'r', 'a', 'm'};
constexpr std::uint8_t kInfo[] = {'I', 'N', 'F', 'O'};
constexpr std::uint8_t kIcon[] = {'i', 'c', 'o', 'n'};
constexpr std::uint8_t kAnih[] = {'a', 'n', 'i', 'h'};
constexpr std::uint8_t kRate[] = {'r', 'a', 't', 'e'};
constexpr std::uint8_t kSeq[] = {'s', 'e', 'q', ' '};
constexpr std::uint8_t kInam[] = {'I', 'N', 'A', 'M'};
constexpr std::uint8_t kIart[] = {'I', 'A', 'R', 'T'};

constexpr std::uint64_t kFormStart = 12; // after "RIFF", its size and "ACON"
constexpr std::uint64_t kChunkHeaderSize = 8;
constexpr std::uint64_t kListTypeSize = 4;

// ANIHEADER: cbSize, cFrames, cSteps, cx, cy, cBitCount, cPlanes,
// jifRate, flags, each a DWORD.
constexpr std::uint64_t kAnihFrames = 4;
constexpr std::uint64_t kAnihSteps = 8;
constexpr std::uint64_t kAnihRate = 28;
constexpr std::uint64_t kAnihFlags = 32;
constexpr std::uint64_t kAnihSize = 36;
constexpr std::uint32_t kFlagIconFrames = 1; // AF_ICON: frames are ICO/CUR files
// A raw frame is one DIB: a 1024x1024 image of 32 bits with its mask takes
// a little over 4 MiB.
constexpr std::uint64_t kMaxRawFrame = 16 << 20;

struct Chunk {
    std::uint64_t offset = 0; // of the header
    std::uint64_t body = 0;
    std::uint64_t length = 0; // of the body, cut at the end of its area
};

// The ids an animated cursor's chunks carry.
bool startsKnownChunk(const SourceReader& file, std::uint64_t at)
{
    for (const auto id : {std::span<const std::uint8_t>(kAnih), std::span<const std::uint8_t>(kRate),
                          std::span<const std::uint8_t>(kSeq), std::span<const std::uint8_t>(kList),
                          std::span<const std::uint8_t>(kIcon), std::span<const std::uint8_t>(kInam),
                          std::span<const std::uint8_t>(kIart)})
        if (file.startsWith(at, id))
            return true;
    return false;
}

// The chunks of [start, end), in order. Each step moves past a header, so
// the walk ends; and no more chunks are kept than headers fit.
std::vector<Chunk> chunksOf(const SourceReader& file, std::uint64_t start, std::uint64_t end)
{
    std::vector<Chunk> chunks;
    std::uint64_t at = start;
    while (at <= end && end - at >= kChunkHeaderSize) {
        const auto stored = file.u32le(at + 4);
        if (!stored)
            break;
        Chunk chunk{at, at + kChunkHeaderSize, 0};
        chunk.length = std::min<std::uint64_t>(*stored, end - chunk.body);
        chunks.push_back(chunk);
        at = chunk.body + chunk.length;
        // An odd chunk is padded to an even size; a writer that left the
        // pad out is caught by the next chunk's id, which then starts at
        // once rather than a byte later.
        if ((chunk.length & 1) != 0 && !(startsKnownChunk(file, at) && !startsKnownChunk(file, at + 1)))
            ++at;
    }
    return chunks;
}

bool is(const SourceReader& file, const Chunk& chunk, std::span<const std::uint8_t> id)
{
    return file.startsWith(chunk.offset, id);
}

bool isList(const SourceReader& file, const Chunk& chunk, std::span<const std::uint8_t> type)
{
    return is(file, chunk, kList) && chunk.length >= kListTypeSize && file.startsWith(chunk.body, type);
}

// A zero-ended string of 8-bit text, as UTF-8.
std::string textOf(const SourceReader& file, const Chunk& chunk)
{
    const auto bytes = file.bytes(chunk.body, chunk.length);
    if (!bytes)
        return {};
    std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    text = text.substr(0, text.find('\0'));
    return utf8FromWindows1252(text);
}

// The DWORDs of a chunk, at most `limit` of them.
std::vector<std::uint32_t> dwordsOf(const SourceReader& file, const Chunk& chunk, std::uint64_t limit)
{
    std::vector<std::uint32_t> values;
    const std::uint64_t count = std::min(chunk.length / 4, limit);
    values.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i)
        values.push_back(file.u32le(chunk.body + 4 * i).value_or(0));
    return values;
}

std::expected<CursorFrame, CursorFailure> readFrame(const ByteSource& source, const Chunk& chunk,
                                                    bool iconFrames, CursorAllowance& allowance)
{
    const SliceSource frameBytes(source, chunk.body, chunk.length);
    if (iconFrames)
        return readCursorFrame(frameBytes, allowance);
    if (chunk.length > kMaxRawFrame || !allowance.affords(chunk.length))
        return std::unexpected(
            cursorFailure(ReadError::TooLarge, chunk.body, "a raw frame is larger than any bitmap drawn"));
    const auto bytes = readRange(frameBytes, 0, chunk.length);
    if (!bytes)
        return std::unexpected(cursorFailure(ReadError::Truncated, chunk.body, "a frame is cut short"));
    auto image = makeCursorImage(ByteReader(*bytes), HotspotAtCentre{}, allowance);
    if (!image)
        return std::unexpected(CursorFailure{image.error(), "a raw frame is no bitmap that can be read"});
    CursorFrame frame;
    frame.images.push_back(std::move(*image));
    return frame;
}

} // namespace

bool looksLikeAnimatedCursor(const ByteSource& source)
{
    const SourceReader file(source);
    return file.startsWith(0, kRiff) && file.startsWith(8, kAcon);
}

std::expected<Cursor, CursorFailure> readAniFile(const ByteSource& source)
{
    CursorAllowance allowance(source.size());
    return readAniFile(source, allowance);
}

std::expected<Cursor, CursorFailure> readAniFile(const ByteSource& source, CursorAllowance& allowance)
{
    const SourceReader file(source);
    if (!looksLikeAnimatedCursor(source))
        return std::unexpected(cursorFailure(ReadError::BadMagic, 0, "not an animated cursor (RIFF ACON)"));

    Cursor cursor;
    cursor.kind = CursorKind::Animated;
    std::optional<Chunk> header, rate, sequence;
    std::vector<Chunk> frames;
    bool framesSeen = false;
    for (const Chunk& chunk : chunksOf(file, kFormStart, file.size())) {
        if (is(file, chunk, kAnih) && !header) {
            header = chunk;
        } else if (is(file, chunk, kRate) && !rate) {
            rate = chunk;
        } else if (is(file, chunk, kSeq) && !sequence) {
            sequence = chunk;
        } else if (isList(file, chunk, kFram) && !framesSeen) {
            framesSeen = true;
            for (const Chunk& frame : chunksOf(file, chunk.body + kListTypeSize, chunk.body + chunk.length))
                if (is(file, frame, kIcon))
                    frames.push_back(frame);
        } else if (isList(file, chunk, kInfo)) {
            for (const Chunk& field : chunksOf(file, chunk.body + kListTypeSize, chunk.body + chunk.length)) {
                if (is(file, field, kInam) && cursor.title.empty())
                    cursor.title = textOf(file, field);
                else if (is(file, field, kIart) && cursor.author.empty())
                    cursor.author = textOf(file, field);
            }
        }
    }
    if (!header)
        return std::unexpected(cursorFailure(ReadError::Missing, kFormStart, "no 'anih' header"));
    if (header->length < kAnihSize)
        return std::unexpected(
            cursorFailure(ReadError::Truncated, header->body, "the 'anih' header is cut short"));
    if (frames.empty())
        return std::unexpected(cursorFailure(ReadError::Missing, kFormStart, "no frame"));

    const std::uint32_t declaredFrames = file.u32le(header->body + kAnihFrames).value_or(0);
    const std::uint32_t declaredSteps = file.u32le(header->body + kAnihSteps).value_or(0);
    const std::uint32_t defaultRate = file.u32le(header->body + kAnihRate).value_or(0);
    const std::uint32_t flags = file.u32le(header->body + kAnihFlags).value_or(0);
    // The header's count holds when the file has as many frames; a count
    // past them, or none, gives way to the frames there are.
    if (declaredFrames > 0 && declaredFrames < frames.size())
        frames.resize(declaredFrames);

    for (std::size_t i = 0; i < frames.size(); ++i) {
        auto frame = readFrame(source, frames[i], (flags & kFlagIconFrames) != 0, allowance);
        if (!frame) {
            CursorFailure failure = frame.error();
            if (failure.read.offset < frames[i].body)
                failure.read.offset += frames[i].body;
            failure.reason = "frame " + std::to_string(i) + ": " +
                             (failure.reason.empty() ? describe(failure.read) : failure.reason);
            return std::unexpected(std::move(failure));
        }
        cursor.frames.push_back(std::move(*frame));
    }

    // Steps: the sequence when there is one (as many as the header counts,
    // when the chunk holds them), else each frame once. Every count is
    // bounded by the DWORDs the chunk holds, so by the file's size.
    if (sequence) {
        std::uint64_t count = sequence->length / 4;
        if (declaredSteps > 0 && declaredSteps < count)
            count = declaredSteps;
        const std::vector<std::uint32_t> steps = dwordsOf(file, *sequence, count);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i] >= cursor.frames.size())
                return std::unexpected(cursorFailure(ReadError::OutOfRange, sequence->body + 4 * i,
                                                     "step " + std::to_string(i) +
                                                         " of the 'seq ' chunk names frame " +
                                                         std::to_string(steps[i]) + ", but the file holds " +
                                                         std::to_string(cursor.frames.size()) + " frames"));
            cursor.steps.push_back(static_cast<int>(steps[i]));
        }
    }
    if (cursor.steps.empty())
        for (std::size_t i = 0; i < cursor.frames.size(); ++i)
            cursor.steps.push_back(static_cast<int>(i));

    // One rate a step; a step the 'rate' chunk does not reach takes the
    // header's default.
    const std::vector<std::uint32_t> rates =
        rate ? dwordsOf(file, *rate, cursor.steps.size()) : std::vector<std::uint32_t>{};
    for (std::size_t i = 0; i < cursor.steps.size(); ++i)
        cursor.delaysMs.push_back(jiffiesToMs(i < rates.size() ? rates[i] : defaultRate));
    return cursor;
}

} // namespace gb

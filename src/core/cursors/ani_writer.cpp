#include "core/cursors/ani_writer.h"

#include "core/cursors/cur_writer.h"
#include "core/imagefiles/byte_writer.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace gb {

namespace {

constexpr std::uint32_t kAniHeaderBytes = 36; // anih: its own size and eight fields
// anih flags: frames are icon or cursor files, and a seq chunk orders them.
constexpr std::uint32_t kFramesAreIcons = 0x1;
constexpr std::uint32_t kHasSequence = 0x2;
constexpr int kJiffiesPerSecond = 60;

void fourCc(ByteWriter& out, std::string_view id)
{
    for (char c : id)
        out.u8(static_cast<std::uint8_t>(c));
}

// A chunk's data is followed by a byte of padding when its size is odd.
void chunk(ByteWriter& out, std::string_view id, std::span<const std::byte> data)
{
    fourCc(out, id);
    out.u32(static_cast<std::uint32_t>(data.size()));
    out.append(data);
    if (data.size() % 2 != 0)
        out.u8(0);
}

std::vector<std::byte> numbers(const std::vector<int>& values, int (*convert)(int))
{
    ByteWriter out;
    for (int v : values)
        out.u32(static_cast<std::uint32_t>(convert(v)));
    return out.take();
}

// A text of LIST INFO: its bytes and the terminating zero.
std::vector<std::byte> infoText(const std::string& text)
{
    std::vector<std::byte> out(text.size() + 1, std::byte{0});
    std::ranges::transform(text, out.begin(), [](char c) { return static_cast<std::byte>(c); });
    return out;
}

} // namespace

int jiffiesOfMilliseconds(int ms)
{
    const long long jiffies = (static_cast<long long>(std::max(0, ms)) * kJiffiesPerSecond + 500) / 1000;
    return static_cast<int>(std::clamp<long long>(jiffies, 1, 0x7fffffff));
}

std::expected<std::vector<std::byte>, CursorWriteError> encodeAni(const Cursor& cursor)
{
    if (cursor.frames.empty())
        return std::unexpected(CursorWriteError::NoImage);
    std::vector<int> steps = cursor.steps, delays = cursor.delaysMs;
    if (steps.empty()) {
        for (std::size_t f = 0; f < cursor.frames.size(); ++f)
            steps.push_back(static_cast<int>(f));
        delays.assign(steps.size(), delays.empty() ? 0 : delays.front());
    }
    if (steps.size() != delays.size())
        return std::unexpected(CursorWriteError::BadSequence);
    for (int step : steps)
        if (step < 0 || static_cast<std::size_t>(step) >= cursor.frames.size())
            return std::unexpected(CursorWriteError::BadSequence);

    ByteWriter frames;
    fourCc(frames, "fram");
    for (const CursorFrame& frame : cursor.frames) {
        auto cur = encodeCur(frame);
        if (!cur)
            return std::unexpected(cur.error());
        if (frames.size() + cur->size() > kMaxCursorFileBytes)
            return std::unexpected(CursorWriteError::TooLarge);
        chunk(frames, "icon", *cur);
    }

    ByteWriter form;
    fourCc(form, "ACON");
    if (!cursor.title.empty() || !cursor.author.empty()) {
        ByteWriter info;
        fourCc(info, "INFO");
        if (!cursor.title.empty())
            chunk(info, "INAM", infoText(cursor.title));
        if (!cursor.author.empty())
            chunk(info, "IART", infoText(cursor.author));
        chunk(form, "LIST", info.take());
    }
    ByteWriter header;
    header.u32(kAniHeaderBytes);
    header.u32(static_cast<std::uint32_t>(cursor.frames.size()));
    header.u32(static_cast<std::uint32_t>(steps.size()));
    header.zeros(16); // width, height, bit count, planes: the frames' own headers say them
    header.u32(static_cast<std::uint32_t>(jiffiesOfMilliseconds(delays.front()))); // the default rate
    header.u32(kFramesAreIcons | kHasSequence);
    chunk(form, "anih", header.take());
    chunk(form, "rate", numbers(delays, jiffiesOfMilliseconds));
    chunk(form, "seq ", numbers(steps, [](int frame) { return frame; }));
    chunk(form, "LIST", frames.take());

    std::vector<std::byte> body = form.take();
    ByteWriter out;
    chunk(out, "RIFF", body);
    return out.take();
}

} // namespace gb

// The converter's side of bench/convert-bench.sh: makes the test picture
// and runs one conversion through libconvert.so, as the program does.
//   convert_bench make-bmp WIDTH HEIGHT PATH
//   convert_bench bmptojpg SRC DST RATE
//   convert_bench jpgtobmp SRC DST
//   convert_bench jpgtojpg SRC DST RATE

#include "core/files/atomic_file.h"
#include "libconvert/libconvert.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void put32(std::vector<std::byte>& out, std::size_t at, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::byte>(v >> (8 * i));
}

std::uint8_t clampByte(double v)
{
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// A 24-bit BMP that JPEG finds as hard as a photo: smooth light, a few
// waves of detail, and a little noise, the same every time.
int makeBmp(int width, int height, const char* path)
{
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    std::vector<std::byte> file(54 + stride * static_cast<std::size_t>(height));
    file[0] = std::byte{'B'};
    file[1] = std::byte{'M'};
    put32(file, 2, static_cast<std::uint32_t>(file.size()));
    put32(file, 10, 54);
    put32(file, 14, 40);
    put32(file, 18, static_cast<std::uint32_t>(width));
    put32(file, 22, static_cast<std::uint32_t>(height));
    file[26] = std::byte{1};
    file[28] = std::byte{24};
    std::uint32_t noise = 2463534242u;
    for (int y = 0; y < height; ++y) {
        std::byte* row = file.data() + 54 + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const double grain = static_cast<double>(noise % 17) - 8;
            const double light = 128 + 90 * std::sin(x * 0.0021) * std::cos(y * 0.0017);
            const double detail = 30 * std::sin(x * 0.05 + y * 0.031) * std::sin(y * 0.043);
            row[x * 3 + 0] = static_cast<std::byte>(clampByte(light * 0.8 + detail + grain));
            row[x * 3 + 1] = static_cast<std::byte>(clampByte(light + detail * 0.5 + grain));
            row[x * 3 + 2] = static_cast<std::byte>(clampByte(255 - light * 0.6 + detail + grain));
        }
    }
    const auto written = gb::writeFileAtomically(path, file);
    if (!written) {
        std::fprintf(stderr, "%s\n", written.error().message.c_str());
        return 1;
    }
    return 0;
}

int report(int status)
{
    if (status != CONVERT_OK)
        std::fprintf(stderr, "%s\n", convert_strerror(status));
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "make-bmp" && argc == 5)
        return makeBmp(std::atoi(argv[2]), std::atoi(argv[3]), argv[4]);
    if (command == "bmptojpg" && argc == 5) {
        const auto rate = static_cast<std::int32_t>(std::atoi(argv[4]));
        return report(bmptojpg(argv[2], argv[3], &rate));
    }
    if (command == "jpgtobmp" && argc == 4)
        return report(jpgtobmp(argv[2], argv[3]));
    if (command == "jpgtojpg" && argc == 5) {
        const auto rate = static_cast<std::int32_t>(std::atoi(argv[4]));
        return report(jpgtojpg(argv[2], argv[3], &rate));
    }
    std::fprintf(stderr,
                 "usage: convert_bench make-bmp W H PATH | bmptojpg SRC DST RATE | jpgtobmp SRC DST | "
                 "jpgtojpg SRC DST RATE\n");
    return 2;
}

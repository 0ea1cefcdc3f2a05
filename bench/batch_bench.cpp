// Each batch save over 10,000 icons (or COUNT): ICO and BMP, 32 and 16,
// colour and gray, written into a temporary folder below the current one.
//   batch_bench [COUNT [KIND... | GLIMMERBOX_CLI]]
// With KINDs, only those batches run, in the order given, so that GNU time
// can measure the peak memory of one of them alone; KIND is one of ico32,
// ico16, bmp32, bmp16, gray-ico32, gray-ico16, gray-bmp32, gray-bmp16.
// Given the path of glimmerbox-cli instead, then the same icons, each in an
// ICO file of its own, exported by it as 32x32 ICO files against the
// window's batch of those icons, and listed by it, which is what reading
// them costs.

#include "core/export/batch_save.h"
#include "core/imagefiles/ico_writer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

gb::RgbaImage sampleIcon(int side, int seed)
{
    gb::RgbaImage image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.at(x, y) = x + y < side / 2 ? gb::Rgba{}
                                              : gb::Rgba{static_cast<std::uint8_t>(seed * 7 + x),
                                                         static_cast<std::uint8_t>(y * 8),
                                                         static_cast<std::uint8_t>(seed), 255};
    return image;
}

struct Kind {
    const char* key;
    const char* name;
    gb::BatchKind kind;
    bool gray;
    int side;
};

constexpr Kind kinds[] = {
    {"ico32", "ICO 32x32 (saveall)", gb::BatchKind::Ico, false, 32},
    {"ico16", "ICO 16x16 (tp16)", gb::BatchKind::Ico, false, 16},
    {"bmp32", "BMP 32x32 (savebmpall)", gb::BatchKind::Bmp, false, 32},
    {"bmp16", "BMP 16x16 (wt16)", gb::BatchKind::Bmp, false, 16},
    {"gray-ico32", "gray ICO 32x32 (hdico1)", gb::BatchKind::Ico, true, 32},
    {"gray-ico16", "gray ICO 16x16 (hdico2)", gb::BatchKind::Ico, true, 16},
    {"gray-bmp32", "gray BMP 32x32 (hdbmp1)", gb::BatchKind::Bmp, true, 32},
    {"gray-bmp16", "gray BMP 16x16 (hdbmp2)", gb::BatchKind::Bmp, true, 16},
};
double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Seconds a shell command took, or a negative number when it failed. The
// writes of what ran before are put on disk first, so that none is paid here.
double timeCommand(const std::string& command)
{
    ::sync();
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = secondsSince(start);
    return status == 0 ? seconds : -1;
}

std::string shellWord(const std::filesystem::path& path)
{
    std::string text = "'";
    for (const char c : path.string())
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

// The same icons through glimmerbox-cli and through the window's batch:
// both write one 32x32 ICO file per icon, syncing them a group at a time.
void compareWithTheCommandLine(int count, const std::string& cli, const std::filesystem::path& folder)
{
    const std::filesystem::path inputs = folder / "in";
    std::filesystem::create_directories(inputs);
    gb::BatchJob job;
    job.kind = gb::BatchKind::Ico;
    job.prefix = "icon";
    job.folder = (folder / "batch").string();
    std::filesystem::create_directories(job.folder);
    for (int i = 0; i < count; ++i) {
        auto icon = std::make_shared<const gb::RgbaImage>(sampleIcon(32, i));
        const auto bytes = gb::encodeIco(*icon);
        std::ofstream(inputs / (std::to_string(i) + ".ico"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        job.icons.push_back(std::move(icon));
    }

    ::sync();
    const auto start = std::chrono::steady_clock::now();
    const gb::BatchReport report = gb::runBatch(job);
    const double batch = secondsSince(start);
    const std::string over = " --pattern '*.ico' " + shellWord(inputs) + " >/dev/null";
    const double exported = timeCommand(shellWord(cli) + " export --size 32 --format ico --out " +
                                        shellWord(folder / "cli") + over);
    const double listed = timeCommand(shellWord(cli) + " list" + over + " 2>&1");

    std::printf("\nThe same %d icons, one ICO file each, written as 32x32 ICO files:\n", count);
    std::printf("%-34s %8.2f s%s\n", "window batch (icons already read)", batch,
                report.failed ? "  FAILURES" : "");
    if (exported < 0 || listed < 0) {
        std::printf("glimmerbox-cli failed (%s)\n", cli.c_str());
        return;
    }
    std::printf("%-34s %8.2f s\n", "glimmerbox-cli export", exported);
    std::printf("%-34s %8.2f s\n", "glimmerbox-cli list (the reading)", listed);
    std::printf("export less its reading / batch = %.2f (target: about 1)\n", (exported - listed) / batch);
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    std::vector<const Kind*> chosen;
    const char* cli = nullptr;
    for (int a = 2; a < argc; ++a) {
        if (std::filesystem::is_regular_file(argv[a])) {
            cli = argv[a];
            continue;
        }
        const Kind* found = nullptr;
        for (const Kind& k : kinds)
            if (std::string_view(argv[a]) == k.key)
                found = &k;
        if (found == nullptr) {
            std::fprintf(stderr, "batch_bench: unknown kind '%s'; kinds:", argv[a]);
            for (const Kind& k : kinds)
                std::fprintf(stderr, " %s", k.key);
            std::fprintf(stderr, "\n");
            return 2;
        }
        chosen.push_back(found);
    }
    if (chosen.empty())
        for (const Kind& k : kinds)
            chosen.push_back(&k);

    const std::filesystem::path folder = std::filesystem::current_path() / "batch-bench";
    std::filesystem::create_directories(folder);
    for (const Kind* k : chosen) {
        gb::BatchJob job;
        job.kind = k->kind;
        job.gray = k->gray;
        job.prefix = "bench";
        job.folder = folder.string();
        for (int i = 0; i < count; ++i)
            job.icons.push_back(std::make_shared<const gb::RgbaImage>(sampleIcon(k->side, i)));
        const auto start = std::chrono::steady_clock::now();
        const gb::BatchReport report = gb::runBatch(job);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-26s %6zu files in %.2f s (%.0f files/s)%s\n", k->name, report.written, seconds,
                    static_cast<double>(report.written) / seconds, report.failed ? "  FAILURES" : "");
    }
    if (cli != nullptr)
        compareWithTheCommandLine(count, cli, folder);
    std::filesystem::remove_all(folder);
    return 0;
}

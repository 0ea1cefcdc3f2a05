// Runs a fuzz target once over every file below the folders or files given:
// the seed corpus replayed by the test build under the sanitizers, with no
// need for libFuzzer. As with libFuzzer, -timeout=SECONDS fails the replay
// when one input takes longer, so an input whose reading is not linear in
// its size shows up as a failure rather than a slow test.
//   fuzz_replay_X [-timeout=SECONDS] FOLDER_OR_FILE...

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

unsigned timeoutSeconds = 0;  // 0: no limit
char currentInput[4096] = {}; // for the alarm handler, which may not allocate

extern "C" void onTimeout(int)
{
    constexpr char kPrefix[] = "input took longer than the timeout: ";
    (void)!::write(STDERR_FILENO, kPrefix, sizeof kPrefix - 1);
    (void)!::write(STDERR_FILENO, currentInput, std::strlen(currentInput));
    (void)!::write(STDERR_FILENO, "\n", 1);
    ::_exit(1);
}

int replayFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::snprintf(currentInput, sizeof currentInput, "%s", path.c_str());
    ::alarm(timeoutSeconds);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    ::alarm(0);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::signal(SIGALRM, onTimeout);
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("-timeout=")) {
            timeoutSeconds = static_cast<unsigned>(std::strtoul(arg.c_str() + 9, nullptr, 10));
            continue;
        }
        const std::filesystem::path root(arg);
        if (std::filesystem::is_regular_file(root)) {
            replayed += replayFile(root);
            continue;
        }
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_regular_file())
                replayed += replayFile(entry.path());
    }
    std::printf("replayed %d inputs\n", replayed);
    return replayed > 0 ? 0 : 1; // an empty corpus is a broken test, not a pass
}

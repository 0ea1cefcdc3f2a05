// The main window under load, offscreen (or on the platform QT_QPA_PLATFORM
// names: xcb under Xvfb for the accessibility bridge, see
// bench/window-accessibility-bench.sh):
//   1. a search over a tree of FILES files (default 10,000), from the click
//      on "开始搜索" to the result line, against glimmerbox-cli list of the
//      same tree, in elapsed and in CPU time;
//   2. the longest time the window's event loop was blocked meanwhile;
//   3. the memory of the program with 100,000 icons in the catalogue, shown
//      in each of the three views.
//
//   window_bench CORPUS_FILE_LIST CLI [FILES]
// The tree is made of hard links to the corpus files (100 to a folder), in a
// temporary folder below the current one, removed afterwards.

#include "gui/main/catalogue_view.h"
#include "gui/main/main_window.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// CPU time (user and system) of this process, or of its children that have
// ended: a load on the machine from other work moves it far less than the
// elapsed time.
qint64 cpuMilliseconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto ms = [](const timeval& t) { return static_cast<qint64>(t.tv_sec) * 1000 + t.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

std::vector<std::string> readList(const char* path)
{
    // Names in the list are relative to the list's own folder.
    const fs::path base = fs::absolute(path).parent_path();
    std::vector<std::string> files;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty())
            files.push_back((base / line).string());
    return files;
}

// FILES hard links (copies where linking fails) to the corpus, 100 a folder.
void makeTree(const fs::path& root, const std::vector<std::string>& corpus, int files)
{
    for (int i = 0; i < files; ++i) {
        const fs::path folder = root / ("f" + std::to_string(i / 100));
        fs::create_directories(folder);
        const fs::path source = corpus[static_cast<std::size_t>(i) % corpus.size()];
        const fs::path target = folder / ("file" + std::to_string(i) + ".exe");
        std::error_code error;
        fs::create_hard_link(source, target, error);
        if (error) // another file system: a link to the file serves as well
            fs::create_symlink(source, target, error);
    }
}

// Measures how late a 5 ms timer fires: the longest gap is how long the
// event loop was kept from running.
class LoopWatch : public QObject {
public:
    LoopWatch()
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
    }
    void start()
    {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        timer_.start();
    }
    qint64 longestGap() const { return longest_; }
    void stop() { timer_.stop(); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    // Offscreen unless told otherwise: the accessibility bridge to AT-SPI
    // comes with the xcb platform only, so its measure runs under Xvfb.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_bench CORPUS_FILE_LIST CLI [FILES]\n");
        return 2;
    }
    const std::vector<std::string> corpus = readList(argv[1]);
    const int files = argc > 3 ? std::atoi(argv[3]) : 10000;
    QTemporaryDir tree(QDir::currentPath() + "/window-bench-XXXXXX");
    makeTree(tree.path().toStdString(), corpus, files);

    // 1 and 2: the search in the window, with a watch on the event loop.
    gb::MainWindow window;
    window.show();
    // The bridge finds the accessibility bus in a round trip or two.
    QElapsedTimer settle;
    settle.start();
    while (!QAccessible::isActive() && qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") &&
           settle.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    std::printf("platform %s, accessibility %s\n", qPrintable(QGuiApplication::platformName()),
                QAccessible::isActive() ? "on" : "off");
    window.findChild<QLineEdit*>("t1")->setText("*.*");
    window.findChild<QLineEdit*>("t2")->setText(tree.path());
    window.findChild<QCheckBox*>("chkSub")->setChecked(true);
    QSignalSpy finished(&window, &gb::MainWindow::searchFinished);
    LoopWatch watch;
    QElapsedTimer clock;
    watch.start();
    const qint64 windowCpuBefore = cpuMilliseconds(RUSAGE_SELF);
    clock.start();
    window.findChild<QToolButton*>("Command1_0")->click();
    finished.wait(600000);
    const qint64 windowMs = clock.elapsed();
    const qint64 windowCpuMs = cpuMilliseconds(RUSAGE_SELF) - windowCpuBefore;
    watch.stop();
    const std::size_t icons = window.catalogue().rows().size();

    QProcess cli;
    const qint64 cliCpuBefore = cpuMilliseconds(RUSAGE_CHILDREN);
    clock.restart();
    cli.start(argv[2], {"list", "--recursive", "--pattern", "*.*", tree.path()});
    cli.waitForFinished(600000);
    const qint64 cliMs = clock.elapsed();
    const qint64 cliCpuMs = cpuMilliseconds(RUSAGE_CHILDREN) - cliCpuBefore;

    std::printf("search of %d files (%zu icons): window %lld ms, glimmerbox-cli list %lld ms, ratio %.2f\n",
                files, icons, static_cast<long long>(windowMs), static_cast<long long>(cliMs),
                static_cast<double>(windowMs) / static_cast<double>(cliMs));
    std::printf("CPU time of the same: window %lld ms, glimmerbox-cli list %lld ms, cpu-ratio %.2f\n",
                static_cast<long long>(windowCpuMs), static_cast<long long>(cliCpuMs),
                static_cast<double>(windowCpuMs) / static_cast<double>(std::max<qint64>(cliCpuMs, 1)));
    std::printf("longest event-loop block during the search: %lld ms\n",
                static_cast<long long>(watch.longestGap()));

    // 3: 100,000 icons in the catalogue, every view painted once.
    gb::CatalogueStore& store = window.catalogue();
    if (store.imageCount() == 0)
        store.add({"/nothing", 0}, gb::RgbaImage(32, 32), gb::RgbaImage(16, 16));
    const std::size_t have = store.imageCount();
    for (std::size_t i = 0; have + i < 100000; ++i) {
        const gb::CatalogueImage& model = store.image(i % have);
        store.add({model.origin.path + "#" + std::to_string(i), model.origin.index}, *model.large,
                  *model.small);
    }
    store.buildRows();
    window.catalogueChanged();
    for (int view : {0, 1, 2}) {
        window.Option1_Click(view);
        window.repaint();
        QApplication::processEvents();
    }
    std::printf("catalogue of %zu icons, all three views shown: resident memory %ld MB\n", store.imageCount(),
                residentKilobytes() / 1024);
    return 0;
}

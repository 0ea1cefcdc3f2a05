// glimmerbox: the desktop program.

#include "gui/main/app_icon.h"
#include "gui/main/main_window.h"
#include "gui/main/single_instance.h"
#include "gui/main/start_path.h"

#include <QApplication>
#include <QByteArray>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glimmerbox"));
    QApplication::setApplicationVersion(QStringLiteral("6.02"));

    QApplication::setWindowIcon(gb::appIcon());

    const auto lock = gb::claimSingleInstance();
    if (!lock)
        return 0; // another copy runs: end silently

    // Qt's own buttons and dialogs speak Chinese, like the program.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // A CJK font the size of the classic 9-point one, so the captions fit
    // the controls' classic sizes.
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    gb::MainWindow window;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    // glimmerbox PATH, as a file manager's "Open With" runs it.
    if (argc > 1)
        if (const auto start = gb::startPathFor(QByteArray(argv[1])))
            window.setStartPath(*start);
    window.show();
    return QApplication::exec();
}

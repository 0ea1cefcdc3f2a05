// glimmerbox: the desktop program.

#include "gui/common/ui_language.h"
#include "gui/main/app_icon.h"
#include "gui/main/main_window.h"
#include "gui/main/single_instance.h"
#include "gui/main/start_path.h"
#include "programs/glimmerbox/program_options.h"

#include <QApplication>
#include <QByteArray>
#include <QFont>
#include <QFontDatabase>
#include <QScreen>

#include <iostream>

int main(int argc, char** argv)
{
    // --help and --version answer without a display, before Qt looks for one.
    if (const auto status = gb::window_program::answerBeforeWindow(argc, argv, std::cout))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glimmerbox"));
    QApplication::setApplicationVersion(QStringLiteral("6.02"));
    // The desktop entry's name: a Wayland compositor finds the window's icon
    // and groups its windows by it (the xdg_toplevel app_id), whatever the
    // executable is called.
    QGuiApplication::setDesktopFileName(QStringLiteral("glimmerbox"));

    QApplication::setWindowIcon(gb::appIcon());

    const auto lock = gb::claimSingleInstance();
    if (!lock)
        return 0; // another copy runs: end silently

    // The windows, and Qt's own buttons and dialogs, in the user's language.
    gb::ui::installSystemUiTranslations(app);

    // A CJK font the size of the classic 9-point one, so the captions fit
    // the controls' classic sizes.
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    QApplication::setFont(font);

    // Qt chooses its platform from the session: wayland where WAYLAND_DISPLAY
    // is set (Qt's Wayland plugin installed), xcb on X11; QT_QPA_PLATFORM
    // forces one. Nothing here depends on which.
    gb::MainWindow window;
    // In the middle of the screen on X11. A Wayland compositor places
    // toplevel windows itself and ignores this.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    // glimmerbox PATH, as a file manager's "Open With" runs it.
    if (argc > 1)
        if (const auto start = gb::startPathFor(QByteArray(argv[1])))
            window.setStartPath(*start);
    window.show();
    return QApplication::exec();
}

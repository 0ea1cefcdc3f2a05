// Shows the window grabber alone on a real X server, for
// run-x11-capture-test.sh: the grabber as the main window opens it, its
// save dialog starting in the folder given, and the program ending when the
// grabber closes.
//   capture_x11_host FOLDER

#include "gui/capture/capture_window.h"

#include <QApplication>
#include <QFile>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    gb::capture::CaptureWindow picpfrm(QFile::encodeName(QString::fromLocal8Bit(argv[1])).toStdString());
    QObject::connect(&picpfrm, &gb::capture::CaptureWindow::closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    picpfrm.open();
    return QApplication::exec();
}

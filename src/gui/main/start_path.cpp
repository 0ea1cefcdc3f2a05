#include "gui/main/start_path.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>

namespace gb {

std::optional<StartPath> startPathFor(const QString& argument)
{
    const QString path = argument.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)
                             ? QUrl(argument).toLocalFile()
                             : argument;
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (info.isDir())
        return StartPath{QDir::cleanPath(info.absoluteFilePath()), QString()};
    if (info.exists())
        return StartPath{QDir::cleanPath(info.absolutePath()), info.fileName()};
    return std::nullopt;
}

void applyStartPath(QWidget& mainWindow, const StartPath& start)
{
    if (auto* t2 = mainWindow.findChild<QLineEdit*>(QStringLiteral("t2")))
        t2->setText(start.folder);
    if (!start.pattern.isEmpty())
        if (auto* t1 = mainWindow.findChild<QLineEdit*>(QStringLiteral("t1")))
            t1->setText(start.pattern);
}

} // namespace gb

#include "gui/main/start_path.h"
#include "gui/common/path_text.h"

#include "core/search/file_pattern.h"

#include <QDir>
#include <QUrl>

#include <sys/stat.h>

namespace gb {

namespace {

// The path's bytes: a file:// URL's percent escapes give the raw bytes back,
// so a name that is not UTF-8 survives them too.
std::optional<QByteArray> localPath(const QByteArray& argument)
{
    if (!argument.left(5).toLower().startsWith("file:"))
        return argument;
    const QUrl url = QUrl::fromEncoded(argument);
    const bool here = url.host().isEmpty() || url.host() == QStringLiteral("localhost");
    if (!url.isValid() || !url.isLocalFile() || !here)
        return std::nullopt;
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

// Absolute, without "." and ".." steps, repeated or trailing slashes.
QByteArray cleanBytes(const QByteArray& path)
{
    QByteArray absolute = path;
    if (!absolute.startsWith('/'))
        absolute = ui::pathByteArray(QDir::currentPath()) + '/' + path;
    QList<QByteArray> steps;
    for (const QByteArray& step : absolute.split('/')) {
        if (step.isEmpty() || step == ".")
            continue;
        if (step == "..") {
            if (!steps.isEmpty())
                steps.removeLast();
            continue;
        }
        steps.append(step);
    }
    return '/' + steps.join('/');
}

// The folder as the path field shows it; nullopt when its text would not
// name the same bytes again.
std::optional<QString> folderText(const QByteArray& folder)
{
    const QString text = ui::pathText(folder);
    if (ui::pathByteArray(text) != folder)
        return std::nullopt;
    return text;
}

} // namespace

std::optional<StartPath> startPathFor(const QByteArray& argument)
{
    const auto given = localPath(argument);
    if (!given || given->isEmpty())
        return std::nullopt;
    const QByteArray path = cleanBytes(*given);
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return std::nullopt;
    if (S_ISDIR(info.st_mode)) {
        const auto folder = folderText(path);
        return folder ? std::optional(StartPath{*folder, QString()}) : std::nullopt;
    }
    const qsizetype slash = path.lastIndexOf('/');
    const auto folder = folderText(slash == 0 ? QByteArray("/") : path.left(slash));
    if (!folder)
        return std::nullopt;
    const std::string pattern = patternForName(path.mid(slash + 1).toStdString());
    return StartPath{*folder, QString::fromStdString(pattern)};
}

} // namespace gb

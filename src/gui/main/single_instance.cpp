#include "gui/main/single_instance.h"

#include <QDir>
#include <QStandardPaths>

namespace gb {

std::unique_ptr<QLockFile> claimSingleInstance()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral("/glimmerbox.lock"));
    lock->setStaleLockTime(0); // a copy that crashed leaves a stale lock, which is taken over
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

} // namespace gb

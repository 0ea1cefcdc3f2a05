#pragma once
// Why a file could not be written or read, as every window tells the user:
// first in the user's own words, then the system's own (English) reason as
// a detail, so nobody is left with "No such file or directory" alone.

#include "core/icons/read_error.h"
#include "core/imagefiles/atomic_file.h"

#include <QString>
#include <string>

namespace gb::ui {

namespace texts {

// Writing.
inline const QString kFolderMissing = QStringLiteral("文件夹不存在");
inline const QString kDenied = QStringLiteral("没有写入权限");
inline const QString kDiskFull = QStringLiteral("磁盘空间不足");
inline const QString kNoNewFiles = QStringLiteral("该文件夹不能建立新文件");
inline const QString kCannotWrite = QStringLiteral("无法写入");

// Reading.
inline const QString kFileMissing = QStringLiteral("文件不存在");
inline const QString kNoReadPermission = QStringLiteral("没有读取权限");
inline const QString kCannotOpen = QStringLiteral("无法打开文件");
inline const QString kNotAFile = QStringLiteral("不是普通文件");
inline const QString kNoIcons = QStringLiteral("文件中没有图标");
inline const QString kDamaged = QStringLiteral("文件已损坏");
inline const QString kTooLarge = QStringLiteral("文件中的图标超出可读取的范围");
inline const QString kUnsupported = QStringLiteral("不支持这种图标格式");
inline const QString kIconGone = QStringLiteral("文件中已没有这个图标");
inline const QString kReadCancelled = QStringLiteral("读取已中止");

// "“path”：reason。\r\n（detail）"
inline QString failedFile(const QString& path, const QString& reason, const QString& detail)
{
    return QStringLiteral("“%1”：%2。\r\n（%3）").arg(path, reason, detail);
}

} // namespace texts

QString writeReason(WriteProblem problem);
QString readReason(const ReadFailure& failure);

// The file, why in the user's words, and the system's reason as a detail.
QString writeFailureText(const std::string& path, const WriteFailure& failure);
QString readFailureText(const std::string& path, const ReadFailure& failure);

} // namespace gb::ui

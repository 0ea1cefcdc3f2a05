#pragma once
// Why a file could not be written or read, as every window tells the user:
// first in the user's own words, then the system's own (English) reason as
// a detail, so nobody is left with "No such file or directory" alone.

#include "core/bytes/read_error.h"
#include "core/files/atomic_file.h"
#include "core/sources/source_failure.h"

#include "gui/common/ui_text.h"

#include <QString>
#include <string>

namespace gb::ui {

namespace texts {

// Writing.
inline constexpr ui::UiText kFolderMissing{"Failures", QT_TRANSLATE_NOOP("Failures", "文件夹不存在")};
inline constexpr ui::UiText kDenied{"Failures", QT_TRANSLATE_NOOP("Failures", "没有写入权限")};
inline constexpr ui::UiText kDiskFull{"Failures", QT_TRANSLATE_NOOP("Failures", "磁盘空间不足")};
inline constexpr ui::UiText kNoNewFiles{"Failures", QT_TRANSLATE_NOOP("Failures", "该文件夹不能建立新文件")};
inline constexpr ui::UiText kCannotWrite{"Failures", QT_TRANSLATE_NOOP("Failures", "无法写入")};

// Reading.
inline constexpr ui::UiText kFileMissing{"Failures", QT_TRANSLATE_NOOP("Failures", "文件不存在")};
inline constexpr ui::UiText kNoReadPermission{"Failures", QT_TRANSLATE_NOOP("Failures", "没有读取权限")};
inline constexpr ui::UiText kCannotOpen{"Failures", QT_TRANSLATE_NOOP("Failures", "无法打开文件")};
inline constexpr ui::UiText kNotAFile{"Failures", QT_TRANSLATE_NOOP("Failures", "不是普通文件")};
inline constexpr ui::UiText kNoIcons{"Failures", QT_TRANSLATE_NOOP("Failures", "文件中没有图标")};
inline constexpr ui::UiText kDamaged{"Failures", QT_TRANSLATE_NOOP("Failures", "文件已损坏")};
inline constexpr ui::UiText kTooLarge{"Failures",
                                      QT_TRANSLATE_NOOP("Failures", "文件中的图标超出可读取的范围")};
inline constexpr ui::UiText kUnsupported{"Failures", QT_TRANSLATE_NOOP("Failures", "不支持这种图标格式")};
inline constexpr ui::UiText kIconGone{"Failures", QT_TRANSLATE_NOOP("Failures", "文件中已没有这个图标")};
inline constexpr ui::UiText kReadCancelled{"Failures", QT_TRANSLATE_NOOP("Failures", "读取已中止")};
inline constexpr ui::UiText kEncrypted{"Failures", QT_TRANSLATE_NOOP("Failures", "文件已加密")};

// "“path”：reason。\r\n（detail）"
inline QString failedFile(const QString& path, const QString& reason, const QString& detail)
{
    return QCoreApplication::translate("Failures", "“%1”：%2。\r\n（%3）").arg(path, reason, detail);
}

} // namespace texts

QString writeReason(WriteProblem problem);
QString readReason(const ReadFailure& failure);
// A file's or a container member's: an encrypted member says so, a
// damaged or hostile container says damaged.
QString sourceReason(const SourceFailure& failure);

// The file, why in the user's words, and the system's reason as a detail.
QString writeFailureText(const std::string& path, const WriteFailure& failure);
QString readFailureText(const std::string& path, const ReadFailure& failure);
QString sourceFailureText(const std::string& path, const SourceFailure& failure);

} // namespace gb::ui

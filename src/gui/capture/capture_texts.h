#pragma once
// Every text the window grabber shows, exactly as users know them.

#include <QString>

namespace gb::capture::texts {

inline const QString kCaption = QStringLiteral("Grabwell");
inline const QString kGrab = QStringLiteral("左键抓图");
inline const QString kSave = QStringLiteral("保存图片");
inline const QString kReturn = QStringLiteral("返　回"); // the gap is an ideographic space

inline const QString kSaveTitle = QStringLiteral("保存图片：");
inline const QString kBitmapFilter = QStringLiteral("位图文件 (*.Bmp)");
inline const QString kOverwrite = QStringLiteral("文件已经存在，是否覆盖文件？");

// Texts of this build, where the classic program had none to show.
inline const QString kNoX11Title = QStringLiteral("左键抓图：");
inline const QString kNoX11 =
    QStringLiteral("抓图需要 X11 图形会话（或 XWayland），当前会话中找不到 X11 显示。");
// On Wayland the desktop's screenshot portal takes the picture.
inline const QString kPortalTitle = QStringLiteral("左键抓图：");
inline const QString kPortalUnavailable =
    QStringLiteral("抓图需要桌面的截图服务（xdg-desktop-portal），当前桌面没有提供这项服务。");
inline const QString kPortalFailed = QStringLiteral("截图失败：桌面的截图服务没能截取图像。");
inline const QString kPortalNoAnswer = QStringLiteral("桌面的截图服务迟迟没有回应，本次抓图已取消。");
// + the file the portal named
inline QString portalPictureUnreadable(const QString& file)
{
    return QStringLiteral("无法读取截图服务交来的图像：\n%1").arg(file);
}
// + the file, why in words, and the system's reason
inline QString notWritten(const QString& failure)
{
    return QStringLiteral("文件保存失败：\n%1").arg(failure);
}

} // namespace gb::capture::texts

#pragma once
// Every text the window grabber shows, exactly as users know them.

#include "gui/common/ui_text.h"

#include <QString>

namespace gb::capture::texts {

inline const QString kCaption = QStringLiteral("Grabwell");
inline constexpr ui::UiText kGrab{"Grabber", QT_TRANSLATE_NOOP("Grabber", "左键抓图")};
inline constexpr ui::UiText kSave{"Grabber", QT_TRANSLATE_NOOP("Grabber", "保存图片")};
inline constexpr ui::UiText kReturn{
    "Grabber", QT_TRANSLATE_NOOP("Grabber", "返　回")}; // the gap is an ideographic space

inline constexpr ui::UiText kSaveTitle{"Grabber", QT_TRANSLATE_NOOP("Grabber", "保存图片：")};
inline constexpr ui::UiText kBitmapFilter{"Grabber", QT_TRANSLATE_NOOP("Grabber", "位图文件 (*.Bmp)")};
inline constexpr ui::UiText kOverwrite{"Grabber",
                                       QT_TRANSLATE_NOOP("Grabber", "文件已经存在，是否覆盖文件？")};

// Texts of this build, where the classic program had none to show. A grab
// that cannot be made says why under this title, whichever grabber failed.
inline constexpr ui::UiText kGrabFailedTitle{"Grabber", QT_TRANSLATE_NOOP("Grabber", "左键抓图：")};
inline constexpr ui::UiText kNoX11{
    "Grabber",
    QT_TRANSLATE_NOOP("Grabber", "抓图需要 X11 图形会话（或 XWayland），当前会话中找不到 X11 显示。")};
// On Wayland the desktop's screenshot portal takes the picture.
inline constexpr ui::UiText kPortalUnavailable{
    "Grabber",
    QT_TRANSLATE_NOOP("Grabber", "抓图需要桌面的截图服务（xdg-desktop-portal），当前桌面没有提供这项服务。")};
inline constexpr ui::UiText kPortalFailed{
    "Grabber", QT_TRANSLATE_NOOP("Grabber", "截图失败：桌面的截图服务没能截取图像。")};
inline constexpr ui::UiText kPortalNoAnswer{
    "Grabber", QT_TRANSLATE_NOOP("Grabber", "桌面的截图服务迟迟没有回应，本次抓图已取消。")};
// + the file the portal named
inline QString portalPictureUnreadable(const QString& file)
{
    return QCoreApplication::translate("Grabber", "无法读取截图服务交来的图像：\n%1").arg(file);
}
// + the file, why in words, and the system's reason
inline QString notWritten(const QString& failure)
{
    return QCoreApplication::translate("Grabber", "文件保存失败：\n%1").arg(failure);
}

} // namespace gb::capture::texts

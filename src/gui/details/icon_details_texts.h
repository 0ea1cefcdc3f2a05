#pragma once
// The texts of the icon details window, exactly as shown.

#include "gui/common/ui_text.h"

#include <QString>

namespace gb::details::texts {

inline constexpr ui::UiText kCaption{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "图标详情")};
inline constexpr ui::UiText kSizeColumn{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "尺寸")};
inline constexpr ui::UiText kDepthColumn{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "颜色深度")};
inline constexpr ui::UiText kFormatColumn{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "格式")};
inline constexpr ui::UiText kUnreadable{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "无法读取")};
inline constexpr ui::UiText kNameLabel{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "图标名称：")};
inline constexpr ui::UiText kSaveIco{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "保存原图标为 ICO…")};
inline constexpr ui::UiText kSavePngs{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "全部保存为 PNG…")};
inline constexpr ui::UiText kInstall{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "安装到图标主题")};
inline constexpr ui::UiText kClose{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "关闭")};
inline constexpr ui::UiText kIcoFilter{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "图标文件 (*.ico)")};
inline constexpr ui::UiText kPngFolder{"IconDetails",
                                       QT_TRANSLATE_NOOP("IconDetails", "选择保存 PNG 的文件夹")};
inline constexpr ui::UiText kTitle{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "图标详情：")};
inline constexpr ui::UiText kCannotRead{"IconDetails",
                                        QT_TRANSLATE_NOOP("IconDetails", "无法读取此图标的文件：")};
inline constexpr ui::UiText kSaved{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "已保存：")};
inline constexpr ui::UiText kSaveFailed{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "无法保存：")};
inline constexpr ui::UiText kNameEmpty{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "请输入图标名称。")};
inline constexpr ui::UiText kNameBad{
    "IconDetails", QT_TRANSLATE_NOOP("IconDetails", "图标名称不能含有“/”，也不能是“.”或“..”。")};
inline constexpr ui::UiText kNoThemeSize{
    "IconDetails",
    QT_TRANSLATE_NOOP("IconDetails", "此图标没有图标主题的标准尺寸（16、22、24、32、48、64、128、256）。")};
inline constexpr ui::UiText kInstalled{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "已安装到：")};

// A launcher for the icon's program, run by Wine.
inline constexpr ui::UiText kCreateLauncher{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "创建启动器")};
inline constexpr ui::UiText kLauncherName{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "启动器名称：")};
inline constexpr ui::UiText kLauncherCreated{"IconDetails",
                                             QT_TRANSLATE_NOOP("IconDetails", "已创建启动器：")};
inline constexpr ui::UiText kLauncherFailed{"IconDetails",
                                            QT_TRANSLATE_NOOP("IconDetails", "无法创建启动器：")};
// The launcher written over the one made before from the same file, or
// found already as planned.
inline constexpr ui::UiText kLauncherReplaced{"IconDetails",
                                              QT_TRANSLATE_NOOP("IconDetails", "已更新启动器：")};
inline constexpr ui::UiText kLauncherUnchanged{
    "IconDetails", QT_TRANSLATE_NOOP("IconDetails", "启动器已是最新，未作改动：")};
// An entry of that name that another shortcut or program made, or the
// user wrote by hand: replaced only when the user says so.
inline constexpr ui::UiText kLauncherReplaceOther{
    "IconDetails",
    QT_TRANSLATE_NOOP("IconDetails",
                      "已有同名的启动器，来自别的快捷方式或程序，或是手工写的：\n%1\n要替换它吗？")};
// The name the menu shows may be anything but empty.
inline constexpr ui::UiText kLauncherNameEmpty{"IconDetails",
                                               QT_TRANSLATE_NOOP("IconDetails", "启动器名称不能为空。")};

// The program's version information, one line each for what it gives.
inline constexpr ui::UiText kFileDescription{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "文件说明：")};
inline constexpr ui::UiText kProductName{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "产品名称：")};
inline constexpr ui::UiText kVersion{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "版本：")};
inline constexpr ui::UiText kCompany{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "公司：")};

// A cursor image's hot spot, the point that clicks: "热点：x, y".
inline constexpr ui::UiText kHotspot{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "热点：%1, %2")};

// A stored image that cannot become a PNG: "“path”：reason。"
inline constexpr ui::UiText kUndecodable{"IconDetails", QT_TRANSLATE_NOOP("IconDetails", "无法解码此图像")};
inline constexpr ui::UiText kUnencodable{"IconDetails",
                                         QT_TRANSLATE_NOOP("IconDetails", "无法将此图像编码为 PNG")};
inline QString imageNotSaved(const QString& path, const QString& reason)
{
    return QCoreApplication::translate("IconDetails", "“%1”：%2。").arg(path, reason);
}

inline QString bits(int depth)
{
    return QString::number(depth) + QCoreApplication::translate("IconDetails", " 位");
}

} // namespace gb::details::texts

#pragma once
// Every text the main window shows, exactly as users know them.

#include "gui/common/ui_text.h"

#include <QString>

namespace gb::texts {

inline constexpr ui::UiText kCaption{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "Glimmerbox（6.02）")};
inline constexpr ui::UiText kStart{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "开始搜索")};
inline constexpr ui::UiText kStop{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "停止搜索")};
inline constexpr ui::UiText kCapture{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "抓取图像")};
inline constexpr ui::UiText kExit{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "退出程序")};
inline constexpr ui::UiText kAbout{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "关于软件")};
inline constexpr ui::UiText kLargeView{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "大图显示")};
inline constexpr ui::UiText kSmallView{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "小图显示")};
inline constexpr ui::UiText kListView{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "列表显示")};
inline constexpr ui::UiText kConvert{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "图形转换压缩")};
// The converter button is narrow and tall: its caption reads top to bottom,
// a character a line in the source text. A translation breaks its own lines.
inline QString verticalConvertCaption()
{
    const QString shown =
        QCoreApplication::translate("MainWindow", "图形转换压缩", "narrow button, one short line each");
    if (shown != QString::fromUtf8(kConvert.source))
        return shown;
    return shown.split(QString(), Qt::SkipEmptyParts).join(u'\n');
}
inline constexpr ui::UiText kBrowse{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "浏览>>")};
inline constexpr ui::UiText kSubfolders{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "搜索子目录")};
// Off at start: the window then searches as it always has.
inline constexpr ui::UiText kContainers{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "搜索压缩包")};
inline constexpr ui::UiText kContainersTip{
    "MainWindow",
    QT_TRANSLATE_NOOP(
        "MainWindow",
        "也在 zip、7z、cab、tar、rar 压缩包，ISO 光盘映像和 MSI 安装包中搜索图标（不写入磁盘）")};
inline constexpr ui::UiText kFilesSearched{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "共搜索文件数：")};
inline constexpr ui::UiText kSearchPath{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "指定搜索路径：")};
inline constexpr ui::UiText kFileType{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "搜索文件类型：")};
inline const QString kDefaultPattern = QStringLiteral("*.exe");

inline constexpr ui::UiText kHint{"MainWindow",
                                  QT_TRANSLATE_NOOP("MainWindow", "点击“开始搜索”按钮提取图标！")};
inline constexpr ui::UiText kSearching{
    "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "稍后，正在搜索... ")}; // + search path
inline constexpr ui::UiText kExtracting{"MainWindow",
                                        QT_TRANSLATE_NOOP("MainWindow", "正在提取图标文件： ")}; // + file
inline QString adding(std::size_t n)
{
    return QCoreApplication::translate("MainWindow", "正在添加第%1个图标").arg(n);
}
inline QString result(std::size_t n)
{
    return QCoreApplication::translate("MainWindow", "搜索结果：共计%1 个图标").arg(n);
}
inline QString shown(std::size_t n)
{
    return QCoreApplication::translate("MainWindow", "显示结果：共计%1 个图标").arg(n);
}
inline constexpr ui::UiText kTakenFrom{
    "MainWindow", QT_TRANSLATE_NOOP("MainWindow", "图标取自文件： ")}; // row text + this + file

inline constexpr ui::UiText kBadPathTitle{"MainWindow", QT_TRANSLATE_NOOP("MainWindow", "无效路径：")};
inline constexpr ui::UiText kBadPath{"MainWindow",
                                     QT_TRANSLATE_NOOP("MainWindow", "搜索路径设置错误，重新设置！")};

} // namespace gb::texts

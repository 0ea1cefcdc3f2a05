#pragma once
// Every text the main window shows, exactly as users know them.

#include <QString>

namespace gb::texts {

inline const QString kCaption = QStringLiteral("Glimmerbox（6.02）");
inline const QString kStart = QStringLiteral("开始搜索");
inline const QString kStop = QStringLiteral("停止搜索");
inline const QString kCapture = QStringLiteral("抓取图像");
inline const QString kExit = QStringLiteral("退出程序");
inline const QString kAbout = QStringLiteral("关于软件");
inline const QString kLargeView = QStringLiteral("大图显示");
inline const QString kSmallView = QStringLiteral("小图显示");
inline const QString kListView = QStringLiteral("列表显示");
inline const QString kConvert = QStringLiteral("图形转换压缩");
inline const QString kBrowse = QStringLiteral("浏览>>");
inline const QString kSubfolders = QStringLiteral("搜索子目录");
// Off at start: the window then searches as it always has.
inline const QString kContainers = QStringLiteral("搜索压缩包");
inline const QString kContainersTip =
    QStringLiteral("也在 zip、7z、cab、tar、rar 压缩包，ISO 光盘映像和 MSI 安装包中搜索图标（不写入磁盘）");
inline const QString kFilesSearched = QStringLiteral("共搜索文件数：");
inline const QString kSearchPath = QStringLiteral("指定搜索路径：");
inline const QString kFileType = QStringLiteral("搜索文件类型：");
inline const QString kDefaultPattern = QStringLiteral("*.exe");

inline const QString kHint = QStringLiteral("点击“开始搜索”按钮提取图标！");
inline const QString kSearching = QStringLiteral("稍后，正在搜索... ");   // + search path
inline const QString kExtracting = QStringLiteral("正在提取图标文件： "); // + file
inline QString adding(std::size_t n)
{
    return QStringLiteral("正在添加第%1个图标").arg(n);
}
inline QString result(std::size_t n)
{
    return QStringLiteral("搜索结果：共计%1 个图标").arg(n);
}
inline QString shown(std::size_t n)
{
    return QStringLiteral("显示结果：共计%1 个图标").arg(n);
}
inline const QString kTakenFrom = QStringLiteral("图标取自文件： "); // row text + this + file

inline const QString kBadPathTitle = QStringLiteral("无效路径：");
inline const QString kBadPath = QStringLiteral("搜索路径设置错误，重新设置！");

} // namespace gb::texts

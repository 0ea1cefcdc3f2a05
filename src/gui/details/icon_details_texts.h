#pragma once
// The texts of the icon details window, exactly as shown.

#include <QString>

namespace gb::details::texts {

inline const QString kCaption = QStringLiteral("图标详情");
inline const QString kSizeColumn = QStringLiteral("尺寸");
inline const QString kDepthColumn = QStringLiteral("颜色深度");
inline const QString kFormatColumn = QStringLiteral("格式");
inline const QString kUnreadable = QStringLiteral("无法读取");
inline const QString kNameLabel = QStringLiteral("图标名称：");
inline const QString kSaveIco = QStringLiteral("保存原图标为 ICO…");
inline const QString kSavePngs = QStringLiteral("全部保存为 PNG…");
inline const QString kInstall = QStringLiteral("安装到图标主题");
inline const QString kClose = QStringLiteral("关闭");
inline const QString kIcoFilter = QStringLiteral("图标文件 (*.ico)");
inline const QString kPngFolder = QStringLiteral("选择保存 PNG 的文件夹");
inline const QString kTitle = QStringLiteral("图标详情：");
inline const QString kCannotRead = QStringLiteral("无法读取此图标的文件：");
inline const QString kSaved = QStringLiteral("已保存：");
inline const QString kSaveFailed = QStringLiteral("无法保存：");
inline const QString kNameEmpty = QStringLiteral("请输入图标名称。");
inline const QString kNameBad = QStringLiteral("图标名称不能含有“/”，也不能是“.”或“..”。");
inline const QString kNoThemeSize =
    QStringLiteral("此图标没有图标主题的标准尺寸（16、22、24、32、48、64、128、256）。");
inline const QString kInstalled = QStringLiteral("已安装到：");

// A launcher for the icon's program, run by Wine.
inline const QString kCreateLauncher = QStringLiteral("创建启动器");
inline const QString kLauncherName = QStringLiteral("启动器名称：");
inline const QString kLauncherCreated = QStringLiteral("已创建启动器：");
inline const QString kLauncherFailed = QStringLiteral("无法创建启动器：");

// The program's version information, one line each for what it gives.
inline const QString kFileDescription = QStringLiteral("文件说明：");
inline const QString kProductName = QStringLiteral("产品名称：");
inline const QString kVersion = QStringLiteral("版本：");
inline const QString kCompany = QStringLiteral("公司：");

// A stored image that cannot become a PNG: "“path”：reason。"
inline const QString kUndecodable = QStringLiteral("无法解码此图像");
inline const QString kUnencodable = QStringLiteral("无法将此图像编码为 PNG");
inline QString imageNotSaved(const QString& path, const QString& reason)
{
    return QStringLiteral("“%1”：%2。").arg(path, reason);
}

inline QString bits(int depth)
{
    return QString::number(depth) + QStringLiteral(" 位");
}

} // namespace gb::details::texts

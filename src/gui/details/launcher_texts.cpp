#include "gui/details/launcher_texts.h"

#include "gui/common/failure_texts.h"
#include "gui/common/path_text.h"

#include <QCoreApplication>

namespace gb::details {

namespace {

QString about(const std::string& path, const QString& what)
{
    return QCoreApplication::translate("Launcher", "“%1”：%2。").arg(ui::pathText(path), what);
}

} // namespace

QString launcherFailureText(const LauncherError& error)
{
    if (error.read)
        return ui::readFailureText(error.path, *error.read);
    if (error.write)
        return ui::writeFailureText(error.path, *error.write);
    const QString detail = QString::fromStdString(error.detail);
    switch (error.problem) {
    case LauncherProblem::Unreadable:
        return about(error.path, QCoreApplication::translate("Launcher", "无法读取"));
    case LauncherProblem::BrokenShortcut:
        return about(error.path, QCoreApplication::translate("Launcher", "快捷方式已损坏"));
    case LauncherProblem::NoTarget:
        return about(error.path, QCoreApplication::translate("Launcher", "快捷方式没有指向任何程序"));
    case LauncherProblem::NoPrefix:
        return about(error.path, QCoreApplication::translate(
                                     "Launcher", "这是 Windows 路径，但找不到它所在的 Wine 前缀"));
    case LauncherProblem::PrefixNotFolder:
        return about(error.path, QCoreApplication::translate("Launcher", "Wine 前缀不是文件夹"));
    case LauncherProblem::NotWinePrefix:
        return about(error.path, QCoreApplication::translate("Launcher", "这个文件夹不是 Wine 前缀"));
    case LauncherProblem::NoDrive:
        return about(error.path,
                     QCoreApplication::translate("Launcher", "Wine 前缀中没有驱动器 %1").arg(detail));
    case LauncherProblem::LeavesDrive:
        return about(error.path, QCoreApplication::translate("Launcher", "路径超出了驱动器的根目录"));
    case LauncherProblem::UnknownVariable:
        return about(error.path,
                     QCoreApplication::translate("Launcher", "Wine 没有设置环境变量 %%1%").arg(detail));
    case LauncherProblem::UnsupportedPath:
        return about(error.path, QCoreApplication::translate("Launcher", "网络路径不在 Wine 前缀的驱动器上"));
    case LauncherProblem::Missing:
        return about(error.path, QCoreApplication::translate("Launcher", "文件或文件夹不存在"));
    case LauncherProblem::PathTooLong:
        return about(error.path, QCoreApplication::translate("Launcher", "路径过长"));
    case LauncherProblem::NotAFile:
        return about(error.path, QCoreApplication::translate("Launcher", "不是程序文件"));
    case LauncherProblem::NotAProgram:
        return about(error.path,
                     QCoreApplication::translate("Launcher", "不是 Windows 程序（没有 PE 或 NE 文件头）"));
    case LauncherProblem::LinuxProgram:
        return about(error.path,
                     QCoreApplication::translate(
                         "Launcher", "这是 Linux 程序，Wine 会直接运行它；启动器只运行 Windows 程序和文档"));
    case LauncherProblem::NoAddress:
        return about(error.path,
                     QCoreApplication::translate("Launcher", "网址“%1”不是网页或邮件地址").arg(detail));
    case LauncherProblem::TakenByOther:
        return about(error.path,
                     QCoreApplication::translate("Launcher", "已有同名的启动器，来自别的快捷方式或程序"));
    case LauncherProblem::NoIcon:
        return about(error.path, QCoreApplication::translate("Launcher", "没有序号为 %1 的图标").arg(detail));
    case LauncherProblem::IconUnreadable:
        return about(error.path, QCoreApplication::translate("Launcher", "图标中没有可以读取的图像"));
    case LauncherProblem::BadName:
        return QCoreApplication::translate("Launcher",
                                           "启动器名称不能为空，不能含有“/”或控制字符，也不能是“.”或“..”。");
    case LauncherProblem::NameTooLong:
        return QCoreApplication::translate("Launcher", "启动器名称太长：最多 %1 字节。")
            .arg(kMaxLauncherName);
    case LauncherProblem::UnusableText:
        return about(
            error.path,
            QCoreApplication::translate("Launcher", "含有控制字符，启动器的 %1 无法容纳").arg(detail));
    case LauncherProblem::NotUtf8:
        return about(
            error.path,
            QCoreApplication::translate("Launcher", "不是 UTF-8 文本，启动器的 %1 无法容纳").arg(detail));
    case LauncherProblem::NoDataDir:
        return QCoreApplication::translate("Launcher", "找不到保存启动器的文件夹（未设置 HOME）。");
    case LauncherProblem::WriteFailed:
        return about(error.path, QCoreApplication::translate("Launcher", "无法写入"));
    }
    return ui::pathText(error.path);
}

QString launcherNoteText(const LauncherNote& note)
{
    switch (note.kind) {
    case LauncherNoteKind::IconNotFound:
        return about(note.path, QCoreApplication::translate("Launcher", "快捷方式的图标文件不存在"));
    case LauncherNoteKind::NoIconOfIndex:
        return about(note.path, QCoreApplication::translate("Launcher", "没有序号为 %1 的图标")
                                    .arg(QString::fromStdString(note.detail)));
    case LauncherNoteKind::IconNotReadable:
        return about(note.path, QCoreApplication::translate("Launcher", "无法读取其中的图标"));
    case LauncherNoteKind::TargetIconUsed:
        return about(note.path, QCoreApplication::translate("Launcher", "改为显示此程序的图标"));
    case LauncherNoteKind::DefaultIconUsed:
        return QCoreApplication::translate("Launcher", "改为显示桌面的图标“%1”。")
            .arg(QString::fromStdString(note.detail));
    case LauncherNoteKind::OpenedByStart:
        return about(note.path, QCoreApplication::translate(
                                    "Launcher", "不是程序，由 Wine 的 start 像 Windows 一样打开"));
    }
    return ui::pathText(note.path);
}

} // namespace gb::details

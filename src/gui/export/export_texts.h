#pragma once
// The texts of the catalogue's menu and of the commands in it, exactly as
// users know them.

#include "gui/common/ui_text.h"

#include <QString>

namespace gb::texts {

inline constexpr ui::UiText kSaveIcon{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "保存图标")};
inline constexpr ui::UiText kCopyIcon{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "复制图标")};
inline constexpr ui::UiText kDeleteIcon{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "删除图标")};
inline constexpr ui::UiText kSaveBitmap{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "存为位图")};
inline constexpr ui::UiText kBatchSave{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "批量保存")};
inline constexpr ui::UiText kGraySave{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "灰度保存")};
inline constexpr ui::UiText kIco32{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "图标ICO(32*32)")};
inline constexpr ui::UiText kIco16{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "图标ICO(16*16)")};
inline constexpr ui::UiText kBmp32{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "位图BMP(32*32)")};
inline constexpr ui::UiText kBmp16{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "位图BMP(16*16)")};

inline constexpr ui::UiText kNothingToSave{"ExportCommands",
                                           QT_TRANSLATE_NOOP("ExportCommands", "没有可保存的图标文件！")};
inline constexpr ui::UiText kSaveTitle{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "保存：")};
inline constexpr ui::UiText kNothingToCopy{"ExportCommands",
                                           QT_TRANSLATE_NOOP("ExportCommands", "没有可复制的图标对象！")};
inline constexpr ui::UiText kCopyTitle{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "复制：")};
inline constexpr ui::UiText kSaveIconDialog{"ExportCommands",
                                            QT_TRANSLATE_NOOP("ExportCommands", "保存图标文件：")};
inline constexpr ui::UiText kIcoFilter32{"ExportCommands",
                                         QT_TRANSLATE_NOOP("ExportCommands", "图标文件ICO（32*32） (*.ico)")};
inline constexpr ui::UiText kIcoFilter16{"ExportCommands",
                                         QT_TRANSLATE_NOOP("ExportCommands", "图标文件ICO（16*16） (*.ico)")};
inline constexpr ui::UiText kSaveBitmapDialog{"ExportCommands",
                                              QT_TRANSLATE_NOOP("ExportCommands", "另存为BMP文件：")};
inline constexpr ui::UiText kBmpFilter32{"ExportCommands",
                                         QT_TRANSLATE_NOOP("ExportCommands", "位图文件BMP（32*32） (*.bmp)")};
inline constexpr ui::UiText kBmpFilter16{"ExportCommands",
                                         QT_TRANSLATE_NOOP("ExportCommands", "位图文件BMP（16*16） (*.bmp)")};

inline constexpr ui::UiText kIcoPrompt{
    "ExportCommands",
    QT_TRANSLATE_NOOP("ExportCommands", "输入贮存图标标记字母：\r\n"
                                        "　　图标标记字母，即保存图标时自定的文件名前缀字母。\r\n"
                                        "　　不要设置同一标记字母，以避免个别文件丢失！")};
inline constexpr ui::UiText kBmpPrompt{
    "ExportCommands",
    QT_TRANSLATE_NOOP("ExportCommands", "输入BMP文件标记字母：\r\n"
                                        "　　BMP标记字母，即保存图象时自定的文件名前缀字母。\r\n"
                                        "　　不要设置同一标记字母，以避免个别文件丢失！")};
inline constexpr ui::UiText kNoPrefix{
    "ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "未指定标记字母！\r\n保存不成功！")};

inline constexpr ui::UiText kSaveAll32{"ExportCommands",
                                       QT_TRANSLATE_NOOP("ExportCommands", "全部保存(32*32)：")};
inline constexpr ui::UiText kSaveAll16{"ExportCommands",
                                       QT_TRANSLATE_NOOP("ExportCommands", "全部保存(16*16)：")};
inline constexpr ui::UiText kSaveAll{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "全部保存：")};
inline constexpr ui::UiText kBatch32{"ExportCommands",
                                     QT_TRANSLATE_NOOP("ExportCommands", "批量保存(32*32)：")};
inline constexpr ui::UiText kBatch16{"ExportCommands",
                                     QT_TRANSLATE_NOOP("ExportCommands", "批量保存(16*16)：")};
inline constexpr ui::UiText kBatch{"ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "批量保存：")};
inline constexpr ui::UiText kGrayIco32{"ExportCommands",
                                       QT_TRANSLATE_NOOP("ExportCommands", "灰度处理ICO(32*32)：")};
inline constexpr ui::UiText kGrayIco16{"ExportCommands",
                                       QT_TRANSLATE_NOOP("ExportCommands", "灰度处理ICO(16*16)：")};
inline constexpr ui::UiText kGrayBmp32{"ExportCommands",
                                       QT_TRANSLATE_NOOP("ExportCommands", "灰度处理BMP(32*32)：")};
inline constexpr ui::UiText kGrayBmp16{"ExportCommands",
                                       QT_TRANSLATE_NOOP("ExportCommands", "灰度处理BMP(16*16)：")};

inline QString converting(std::size_t n, std::size_t total)
{
    return QCoreApplication::translate("ExportCommands", "正在转换灰度图标：%1 / %2").arg(n).arg(total);
}
inline QString savingGrayIcons(std::size_t n, std::size_t total)
{
    return QCoreApplication::translate("ExportCommands", "正在保存灰度图标：%1 / %2").arg(n).arg(total);
}
inline QString savingGrayBitmaps(std::size_t n, std::size_t total)
{
    return QCoreApplication::translate("ExportCommands", "正在保存灰度位图：%1 / %2").arg(n).arg(total);
}
inline constexpr ui::UiText kGrayIconsDone{"ExportCommands",
                                           QT_TRANSLATE_NOOP("ExportCommands", "灰度图标保存完毕！")};
inline constexpr ui::UiText kGrayBitmapsDone{"ExportCommands",
                                             QT_TRANSLATE_NOOP("ExportCommands", "灰度位图保存完成！")};

// Our own, where the program reports what the classic one passed over.
inline constexpr ui::UiText kBadPrefix{
    "ExportCommands",
    QT_TRANSLATE_NOOP("ExportCommands", "标记字母不能含有“/”，也不能是“.”或“..”！\r\n保存不成功！")};
// `where`: savedIn(), or empty when the files went beside the program.
inline QString someNotWritten(std::size_t written, std::size_t failed, const QString& where,
                              const QString& first)
{
    return QCoreApplication::translate("ExportCommands",
                                       "已保存 %1 个文件，%2 个文件保存失败。%3\r\n第一个失败的文件%4")
        .arg(written)
        .arg(failed)
        .arg(where, first);
}
inline QString notWritten(const QString& file)
{
    return QCoreApplication::translate("ExportCommands", "文件保存失败：\r\n%1").arg(file);
}

// Where a batch went, when that is not beside the program (whose folder
// may not be written): appended to its last status line and message.
inline QString savedIn(const QString& folder)
{
    return QCoreApplication::translate("ExportCommands", "（保存在 %1）").arg(folder);
}

// The status line once a batch has ended.
inline QString batchWritten(std::size_t written)
{
    return QCoreApplication::translate("ExportCommands", "保存完毕：已保存 %1 个文件。").arg(written);
}
inline QString grayWritten(const QString& done, std::size_t written)
{
    return done + QCoreApplication::translate("ExportCommands", "已保存 %1 个文件。").arg(written);
}
inline QString batchPartlyWritten(std::size_t written, std::size_t failed)
{
    return QCoreApplication::translate("ExportCommands", "保存结束：已保存 %1 个文件，%2 个文件保存失败。")
        .arg(written)
        .arg(failed);
}
inline QString batchCancelled(std::size_t written, std::size_t failed)
{
    return QCoreApplication::translate("ExportCommands", "保存已中止：已保存 %1 个文件，%2 个文件保存失败。")
        .arg(written)
        .arg(failed);
}
inline constexpr ui::UiText kBatchBusy{
    "ExportCommands", QT_TRANSLATE_NOOP("ExportCommands", "正在批量保存，请等当前的保存结束后再试！")};

} // namespace gb::texts

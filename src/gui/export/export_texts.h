#pragma once
// The texts of the catalogue's menu and of the commands in it, exactly as
// users know them.

#include <QString>

namespace gb::texts {

inline const QString kSaveIcon = QStringLiteral("保存图标");
inline const QString kCopyIcon = QStringLiteral("复制图标");
inline const QString kDeleteIcon = QStringLiteral("删除图标");
inline const QString kSaveBitmap = QStringLiteral("存为位图");
inline const QString kBatchSave = QStringLiteral("批量保存");
inline const QString kGraySave = QStringLiteral("灰度保存");
inline const QString kIco32 = QStringLiteral("图标ICO(32*32)");
inline const QString kIco16 = QStringLiteral("图标ICO(16*16)");
inline const QString kBmp32 = QStringLiteral("位图BMP(32*32)");
inline const QString kBmp16 = QStringLiteral("位图BMP(16*16)");

inline const QString kNothingToSave = QStringLiteral("没有可保存的图标文件！");
inline const QString kSaveTitle = QStringLiteral("保存：");
inline const QString kNothingToCopy = QStringLiteral("没有可复制的图标对象！");
inline const QString kCopyTitle = QStringLiteral("复制：");
inline const QString kSaveIconDialog = QStringLiteral("保存图标文件：");
inline const QString kIcoFilter32 = QStringLiteral("图标文件ICO（32*32） (*.ico)");
inline const QString kIcoFilter16 = QStringLiteral("图标文件ICO（16*16） (*.ico)");
inline const QString kSaveBitmapDialog = QStringLiteral("另存为BMP文件：");
inline const QString kBmpFilter32 = QStringLiteral("位图文件BMP（32*32） (*.bmp)");
inline const QString kBmpFilter16 = QStringLiteral("位图文件BMP（16*16） (*.bmp)");

inline const QString kIcoPrompt = QStringLiteral("输入贮存图标标记字母：\r\n"
                                                 "　　图标标记字母，即保存图标时自定的文件名前缀字母。\r\n"
                                                 "　　不要设置同一标记字母，以避免个别文件丢失！");
inline const QString kBmpPrompt = QStringLiteral("输入BMP文件标记字母：\r\n"
                                                 "　　BMP标记字母，即保存图象时自定的文件名前缀字母。\r\n"
                                                 "　　不要设置同一标记字母，以避免个别文件丢失！");
inline const QString kNoPrefix = QStringLiteral("未指定标记字母！\r\n保存不成功！");

inline const QString kSaveAll32 = QStringLiteral("全部保存(32*32)：");
inline const QString kSaveAll16 = QStringLiteral("全部保存(16*16)：");
inline const QString kSaveAll = QStringLiteral("全部保存：");
inline const QString kBatch32 = QStringLiteral("批量保存(32*32)：");
inline const QString kBatch16 = QStringLiteral("批量保存(16*16)：");
inline const QString kBatch = QStringLiteral("批量保存：");
inline const QString kGrayIco32 = QStringLiteral("灰度处理ICO(32*32)：");
inline const QString kGrayIco16 = QStringLiteral("灰度处理ICO(16*16)：");
inline const QString kGrayBmp32 = QStringLiteral("灰度处理BMP(32*32)：");
inline const QString kGrayBmp16 = QStringLiteral("灰度处理BMP(16*16)：");

inline QString converting(std::size_t n, std::size_t total)
{
    return QStringLiteral("正在转换灰度图标：%1 / %2").arg(n).arg(total);
}
inline QString savingGrayIcons(std::size_t n, std::size_t total)
{
    return QStringLiteral("正在保存灰度图标：%1 / %2").arg(n).arg(total);
}
inline QString savingGrayBitmaps(std::size_t n, std::size_t total)
{
    return QStringLiteral("正在保存灰度位图：%1 / %2").arg(n).arg(total);
}
inline const QString kGrayIconsDone = QStringLiteral("灰度图标保存完毕！");
inline const QString kGrayBitmapsDone = QStringLiteral("灰度位图保存完成！");

// Our own, where the program reports what the classic one passed over.
inline const QString kBadPrefix = QStringLiteral("标记字母不能含有“/”，也不能是“.”或“..”！\r\n保存不成功！");
// `where`: savedIn(), or empty when the files went beside the program.
inline QString someNotWritten(std::size_t written, std::size_t failed, const QString& where,
                              const QString& first)
{
    return QStringLiteral("已保存 %1 个文件，%2 个文件保存失败。%3\r\n第一个失败的文件%4")
        .arg(written)
        .arg(failed)
        .arg(where, first);
}
inline QString notWritten(const QString& file)
{
    return QStringLiteral("文件保存失败：\r\n%1").arg(file);
}

// Where a batch went, when that is not beside the program (whose folder
// may not be written): appended to its last status line and message.
inline QString savedIn(const QString& folder)
{
    return QStringLiteral("（保存在 %1）").arg(folder);
}

// The status line once a batch has ended.
inline QString batchWritten(std::size_t written)
{
    return QStringLiteral("保存完毕：已保存 %1 个文件。").arg(written);
}
inline QString grayWritten(const QString& done, std::size_t written)
{
    return done + QStringLiteral("已保存 %1 个文件。").arg(written);
}
inline QString batchPartlyWritten(std::size_t written, std::size_t failed)
{
    return QStringLiteral("保存结束：已保存 %1 个文件，%2 个文件保存失败。").arg(written).arg(failed);
}
inline QString batchCancelled(std::size_t written, std::size_t failed)
{
    return QStringLiteral("保存已中止：已保存 %1 个文件，%2 个文件保存失败。").arg(written).arg(failed);
}
inline const QString kBatchBusy = QStringLiteral("正在批量保存，请等当前的保存结束后再试！");

} // namespace gb::texts

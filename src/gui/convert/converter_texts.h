#pragma once
// Every text converfrm shows, exactly as the user sees it.

#include <QtGlobal>

namespace gb::convert::text {

constexpr const char* title = QT_TRANSLATE_NOOP("Converter", "图形转换压缩工具");
constexpr const char* source = QT_TRANSLATE_NOOP("Converter", "指定源图：");      // Label2
constexpr const char* destination = QT_TRANSLATE_NOOP("Converter", "保存路径："); // Label3
constexpr const char* browse = ":";                                               // Command2, Command3
constexpr const char* bmpToJpeg = "BMP=>JPEG";                                    // Option1(0)
constexpr const char* jpegToBmp = "JPEG=>BMP";                                    // Option1(1)
constexpr const char* jpegToJpeg = "JPEG=>JPEG";                                  // Option1(2)
constexpr const char* rate = QT_TRANSLATE_NOOP("Converter", "压缩率（1-100）："); // Label1
constexpr const char* run = QT_TRANSLATE_NOOP("Converter", "运行");               // Command1(0)
constexpr const char* exit = QT_TRANSLATE_NOOP("Converter", "退出");              // Command1(1)

// The shared file dialog: titles, and filters as label|pattern pairs.
constexpr const char* sourceDialogTitle = QT_TRANSLATE_NOOP("Converter", "指定用于转换的源图");
// The labels are the classic ones; the JPEG pattern takes .jpeg too (the
// dialog ignores case, so .JPG and .JPEG as well).
constexpr const char* sourceFilter =
    QT_TRANSLATE_NOOP("Converter", "图像格式(*.bmp)|*.bmp|图像格式(*.jpg)|*.jpg *.jpeg");
constexpr const char* destinationDialogTitle = QT_TRANSLATE_NOOP("Converter", "指定图像保存路径");
constexpr const char* destinationFilter = QT_TRANSLATE_NOOP("Converter", "图像格式(*.bmp,*.jpg)|*.*");

constexpr const char* errorTitle = QT_TRANSLATE_NOOP("Converter", "错误：");
constexpr const char* noPaths = QT_TRANSLATE_NOOP("Converter", "未指定源图或保存路径！");
constexpr const char* doneTitle = QT_TRANSLATE_NOOP("Converter", "完成");
constexpr const char* done = QT_TRANSLATE_NOOP("Converter", "转换完成！");

// Our own: the window says why a conversion did not happen. %1 is the
// source or destination path, or the library's status or function name.
constexpr const char* noDirection = QT_TRANSLATE_NOOP("Converter", "未选择转换方式！");
constexpr const char* sourceMissing = QT_TRANSLATE_NOOP("Converter", "转换失败：找不到源图“%1”。");
constexpr const char* sourceUnreadable = QT_TRANSLATE_NOOP("Converter", "转换失败：无法读取源图“%1”。");
constexpr const char* notBmp = QT_TRANSLATE_NOOP("Converter", "转换失败：源图“%1”不是BMP图像。");
constexpr const char* notJpeg = QT_TRANSLATE_NOOP("Converter", "转换失败：源图“%1”不是JPEG图像。");
constexpr const char* damaged = QT_TRANSLATE_NOOP("Converter", "转换失败：源图“%1”已损坏。");
constexpr const char* unsupported = QT_TRANSLATE_NOOP("Converter", "转换失败：不支持源图“%1”的这种格式。");
constexpr const char* tooLarge = QT_TRANSLATE_NOOP("Converter", "转换失败：源图“%1”太大。");
constexpr const char* noFolder = QT_TRANSLATE_NOOP("Converter", "转换失败：保存路径“%1”所在的文件夹不存在。");
constexpr const char* denied = QT_TRANSLATE_NOOP("Converter", "转换失败：没有写入“%1”的权限。");
constexpr const char* full = QT_TRANSLATE_NOOP("Converter", "转换失败：磁盘空间不足，无法写入“%1”。");
constexpr const char* unwritable = QT_TRANSLATE_NOOP("Converter", "转换失败：无法写入“%1”。");
constexpr const char* outOfMemory = QT_TRANSLATE_NOOP("Converter", "转换失败：内存不足。");
constexpr const char* libraryError = QT_TRANSLATE_NOOP("Converter", "转换失败：转换库出错（错误码%1）。");
constexpr const char* libraryMissing =
    QT_TRANSLATE_NOOP("Converter", "转换失败：找不到转换库libconvert.so。");
constexpr const char* functionMissing =
    QT_TRANSLATE_NOOP("Converter", "转换失败：转换库libconvert.so中没有函数%1。");

} // namespace gb::convert::text

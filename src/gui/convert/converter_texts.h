#pragma once
// Every text converfrm shows, exactly as the user sees it.

namespace gb::convert::text {

constexpr const char* title = "图形转换压缩工具";
constexpr const char* source = "指定源图：";      // Label2
constexpr const char* destination = "保存路径："; // Label3
constexpr const char* browse = ":";               // Command2, Command3
constexpr const char* bmpToJpeg = "BMP=>JPEG";    // Option1(0)
constexpr const char* jpegToBmp = "JPEG=>BMP";    // Option1(1)
constexpr const char* jpegToJpeg = "JPEG=>JPEG";  // Option1(2)
constexpr const char* rate = "压缩率（1-100）："; // Label1
constexpr const char* run = "运行";               // Command1(0)
constexpr const char* exit = "退出";              // Command1(1)

// The shared file dialog: titles, and filters as label|pattern pairs.
constexpr const char* sourceDialogTitle = "指定用于转换的源图";
// The labels are the classic ones; the JPEG pattern takes .jpeg too (the
// dialog ignores case, so .JPG and .JPEG as well).
constexpr const char* sourceFilter = "图像格式(*.bmp)|*.bmp|图像格式(*.jpg)|*.jpg *.jpeg";
constexpr const char* destinationDialogTitle = "指定图像保存路径";
constexpr const char* destinationFilter = "图像格式(*.bmp,*.jpg)|*.*";

constexpr const char* errorTitle = "错误：";
constexpr const char* noPaths = "未指定源图或保存路径！";
constexpr const char* doneTitle = "完成";
constexpr const char* done = "转换完成！";

// Our own: the window says why a conversion did not happen. %1 is the
// source or destination path, or the library's status or function name.
constexpr const char* noDirection = "未选择转换方式！";
constexpr const char* sourceMissing = "转换失败：找不到源图“%1”。";
constexpr const char* sourceUnreadable = "转换失败：无法读取源图“%1”。";
constexpr const char* notBmp = "转换失败：源图“%1”不是BMP图像。";
constexpr const char* notJpeg = "转换失败：源图“%1”不是JPEG图像。";
constexpr const char* damaged = "转换失败：源图“%1”已损坏。";
constexpr const char* unsupported = "转换失败：不支持源图“%1”的这种格式。";
constexpr const char* tooLarge = "转换失败：源图“%1”太大。";
constexpr const char* noFolder = "转换失败：保存路径“%1”所在的文件夹不存在。";
constexpr const char* denied = "转换失败：没有写入“%1”的权限。";
constexpr const char* full = "转换失败：磁盘空间不足，无法写入“%1”。";
constexpr const char* unwritable = "转换失败：无法写入“%1”。";
constexpr const char* outOfMemory = "转换失败：内存不足。";
constexpr const char* libraryError = "转换失败：转换库出错（错误码%1）。";
constexpr const char* libraryMissing = "转换失败：找不到转换库libconvert.so。";
constexpr const char* functionMissing = "转换失败：转换库libconvert.so中没有函数%1。";

} // namespace gb::convert::text

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutBox</name>
    <message>
        <source>关于Glimmerbox</source>
        <translation>About Glimmerbox</translation>
    </message>
    <message>
        <source>版本：6.02</source>
        <translation>Version 6.02</translation>
    </message>
    <message>
        <source>技术支持网站：</source>
        <translation>Support website:</translation>
    </message>
    <message>
        <source>© 2026 Glimmerbox 开发组</source>
        <translation>© 2026 the Glimmerbox developers</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>Catalogue</name>
    <message>
        <source>图标图像</source>
        <translation>Icon</translation>
    </message>
    <message>
        <source>出自文件</source>
        <translation>From file</translation>
    </message>
</context>
<context>
    <name>Converter</name>
    <message>
        <source>图形转换压缩工具</source>
        <translation>Image Converter</translation>
    </message>
    <message>
        <source>指定源图：</source>
        <translation>Source image:</translation>
    </message>
    <message>
        <source>保存路径：</source>
        <translation>Save as:</translation>
    </message>
    <message>
        <source>压缩率（1-100）：</source>
        <translation>Quality (1-100):</translation>
    </message>
    <message>
        <source>运行</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>指定用于转换的源图</source>
        <translation>Choose the image to convert</translation>
    </message>
    <message>
        <source>图像格式(*.bmp)|*.bmp|图像格式(*.jpg)|*.jpg *.jpeg</source>
        <translation>BMP images (*.bmp)|*.bmp|JPEG images (*.jpg)|*.jpg *.jpeg</translation>
    </message>
    <message>
        <source>指定图像保存路径</source>
        <translation>Choose where to save the image</translation>
    </message>
    <message>
        <source>图像格式(*.bmp,*.jpg)|*.*</source>
        <translation>Images (*.bmp, *.jpg)|*.*</translation>
    </message>
    <message>
        <source>错误：</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>未指定源图或保存路径！</source>
        <translation>Choose a source image and where to save it.</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>转换完成！</source>
        <translation>The image has been converted.</translation>
    </message>
    <message>
        <source>未选择转换方式！</source>
        <translation>Choose what to convert to.</translation>
    </message>
    <message>
        <source>转换失败：找不到源图“%1”。</source>
        <translation>Conversion failed: the source image “%1” does not exist.</translation>
    </message>
    <message>
        <source>转换失败：无法读取源图“%1”。</source>
        <translation>Conversion failed: the source image “%1” cannot be read.</translation>
    </message>
    <message>
        <source>转换失败：源图“%1”不是BMP图像。</source>
        <translation>Conversion failed: “%1” is not a BMP image.</translation>
    </message>
    <message>
        <source>转换失败：源图“%1”不是JPEG图像。</source>
        <translation>Conversion failed: “%1” is not a JPEG image.</translation>
    </message>
    <message>
        <source>转换失败：源图“%1”已损坏。</source>
        <translation>Conversion failed: the source image “%1” is damaged.</translation>
    </message>
    <message>
        <source>转换失败：不支持源图“%1”的这种格式。</source>
        <translation>Conversion failed: the format of “%1” is not supported.</translation>
    </message>
    <message>
        <source>转换失败：源图“%1”太大。</source>
        <translation>Conversion failed: the source image “%1” is too large.</translation>
    </message>
    <message>
        <source>转换失败：保存路径“%1”所在的文件夹不存在。</source>
        <translation>Conversion failed: the folder of “%1” does not exist.</translation>
    </message>
    <message>
        <source>转换失败：没有写入“%1”的权限。</source>
        <translation>Conversion failed: no permission to write “%1”.</translation>
    </message>
    <message>
        <source>转换失败：磁盘空间不足，无法写入“%1”。</source>
        <translation>Conversion failed: the disk is full; “%1” cannot be written.</translation>
    </message>
    <message>
        <source>转换失败：无法写入“%1”。</source>
        <translation>Conversion failed: “%1” cannot be written.</translation>
    </message>
    <message>
        <source>转换失败：内存不足。</source>
        <translation>Conversion failed: out of memory.</translation>
    </message>
    <message>
        <source>转换失败：转换库出错（错误码%1）。</source>
        <translation>Conversion failed: the conversion library reported error %1.</translation>
    </message>
    <message>
        <source>转换失败：找不到转换库libconvert.so。</source>
        <translation>Conversion failed: the conversion library libconvert.so was not found.</translation>
    </message>
    <message>
        <source>转换失败：转换库libconvert.so中没有函数%1。</source>
        <translation>Conversion failed: the conversion library libconvert.so has no function %1.</translation>
    </message>
</context>
<context>
    <name>ExportCommands</name>
    <message>
        <source>保存图标</source>
        <translation>Save Icon</translation>
    </message>
    <message>
        <source>复制图标</source>
        <translation>Copy Icon</translation>
    </message>
    <message>
        <source>删除图标</source>
        <translation>Remove Icon</translation>
    </message>
    <message>
        <source>存为位图</source>
        <translation>Save as Bitmap</translation>
    </message>
    <message>
        <source>批量保存</source>
        <translation>Save All</translation>
    </message>
    <message>
        <source>灰度保存</source>
        <translation>Save All in Gray</translation>
    </message>
    <message>
        <source>图标ICO(32*32)</source>
        <translation>Icons ICO (32×32)</translation>
    </message>
    <message>
        <source>图标ICO(16*16)</source>
        <translation>Icons ICO (16×16)</translation>
    </message>
    <message>
        <source>位图BMP(32*32)</source>
        <translation>Bitmaps BMP (32×32)</translation>
    </message>
    <message>
        <source>位图BMP(16*16)</source>
        <translation>Bitmaps BMP (16×16)</translation>
    </message>
    <message>
        <source>没有可保存的图标文件！</source>
        <translation>There is no icon to save.</translation>
    </message>
    <message>
        <source>保存：</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>没有可复制的图标对象！</source>
        <translation>There is no icon to copy.</translation>
    </message>
    <message>
        <source>复制：</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>保存图标文件：</source>
        <translation>Save Icon</translation>
    </message>
    <message>
        <source>图标文件ICO（32*32） (*.ico)</source>
        <translation>Icon file, 32×32 (*.ico)</translation>
    </message>
    <message>
        <source>图标文件ICO（16*16） (*.ico)</source>
        <translation>Icon file, 16×16 (*.ico)</translation>
    </message>
    <message>
        <source>另存为BMP文件：</source>
        <translation>Save as Bitmap</translation>
    </message>
    <message>
        <source>位图文件BMP（32*32） (*.bmp)</source>
        <translation>Bitmap file, 32×32 (*.bmp)</translation>
    </message>
    <message>
        <source>位图文件BMP（16*16） (*.bmp)</source>
        <translation>Bitmap file, 16×16 (*.bmp)</translation>
    </message>
    <message>
        <source>输入贮存图标标记字母：<byte value="xd"/>
&#x3000;&#x3000;图标标记字母，即保存图标时自定的文件名前缀字母。<byte value="xd"/>
&#x3000;&#x3000;不要设置同一标记字母，以避免个别文件丢失！</source>
        <translation>Enter a prefix for the icon file names:<byte value="xd"/>
Every saved icon is named with this prefix and a number.<byte value="xd"/>
Use a new prefix each time, so that no earlier file is replaced.</translation>
    </message>
    <message>
        <source>输入BMP文件标记字母：<byte value="xd"/>
&#x3000;&#x3000;BMP标记字母，即保存图象时自定的文件名前缀字母。<byte value="xd"/>
&#x3000;&#x3000;不要设置同一标记字母，以避免个别文件丢失！</source>
        <translation>Enter a prefix for the bitmap file names:<byte value="xd"/>
Every saved bitmap is named with this prefix and a number.<byte value="xd"/>
Use a new prefix each time, so that no earlier file is replaced.</translation>
    </message>
    <message>
        <source>未指定标记字母！<byte value="xd"/>
保存不成功！</source>
        <translation>No prefix was given.<byte value="xd"/>
Nothing was saved.</translation>
    </message>
    <message>
        <source>全部保存(32*32)：</source>
        <translation>Save All (32×32)</translation>
    </message>
    <message>
        <source>全部保存(16*16)：</source>
        <translation>Save All (16×16)</translation>
    </message>
    <message>
        <source>全部保存：</source>
        <translation>Save All</translation>
    </message>
    <message>
        <source>批量保存(32*32)：</source>
        <translation>Save All (32×32)</translation>
    </message>
    <message>
        <source>批量保存(16*16)：</source>
        <translation>Save All (16×16)</translation>
    </message>
    <message>
        <source>批量保存：</source>
        <translation>Save All</translation>
    </message>
    <message>
        <source>灰度处理ICO(32*32)：</source>
        <translation>Gray Icons (32×32)</translation>
    </message>
    <message>
        <source>灰度处理ICO(16*16)：</source>
        <translation>Gray Icons (16×16)</translation>
    </message>
    <message>
        <source>灰度处理BMP(32*32)：</source>
        <translation>Gray Bitmaps (32×32)</translation>
    </message>
    <message>
        <source>灰度处理BMP(16*16)：</source>
        <translation>Gray Bitmaps (16×16)</translation>
    </message>
    <message>
        <source>正在转换灰度图标：%1 / %2</source>
        <translation>Turning icons gray: %1 / %2</translation>
    </message>
    <message>
        <source>正在保存灰度图标：%1 / %2</source>
        <translation>Saving gray icons: %1 / %2</translation>
    </message>
    <message>
        <source>正在保存灰度位图：%1 / %2</source>
        <translation>Saving gray bitmaps: %1 / %2</translation>
    </message>
    <message>
        <source>灰度图标保存完毕！</source>
        <translation>The gray icons have been saved. </translation>
    </message>
    <message>
        <source>灰度位图保存完成！</source>
        <translation>The gray bitmaps have been saved. </translation>
    </message>
    <message>
        <source>标记字母不能含有“/”，也不能是“.”或“..”！<byte value="xd"/>
保存不成功！</source>
        <translation>A prefix cannot contain “/” and cannot be “.” or “..”.<byte value="xd"/>
Nothing was saved.</translation>
    </message>
    <message>
        <source>已保存 %1 个文件，%2 个文件保存失败。%3<byte value="xd"/>
第一个失败的文件%4</source>
        <translation>%1 files saved, %2 files could not be saved.%3<byte value="xd"/>
The first file that failed: %4</translation>
    </message>
    <message>
        <source>文件保存失败：<byte value="xd"/>
%1</source>
        <translation>The file could not be saved:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>（保存在 %1）</source>
        <translation> (saved in %1)</translation>
    </message>
    <message>
        <source>保存完毕：已保存 %1 个文件。</source>
        <translation>Done: %1 files saved.</translation>
    </message>
    <message>
        <source>已保存 %1 个文件。</source>
        <translation>%1 files saved.</translation>
    </message>
    <message>
        <source>保存结束：已保存 %1 个文件，%2 个文件保存失败。</source>
        <translation>Finished: %1 files saved, %2 files could not be saved.</translation>
    </message>
    <message>
        <source>保存已中止：已保存 %1 个文件，%2 个文件保存失败。</source>
        <translation>Stopped: %1 files saved, %2 files could not be saved.</translation>
    </message>
    <message>
        <source>正在批量保存，请等当前的保存结束后再试！</source>
        <translation>Icons are being saved; try again when that has finished.</translation>
    </message>
</context>
<context>
    <name>Failures</name>
    <message>
        <source>文件夹不存在</source>
        <translation>the folder does not exist</translation>
    </message>
    <message>
        <source>没有写入权限</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>the disk is full</translation>
    </message>
    <message>
        <source>该文件夹不能建立新文件</source>
        <translation>no new files can be made in this folder</translation>
    </message>
    <message>
        <source>无法写入</source>
        <translation>cannot be written</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>没有读取权限</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation>the file cannot be opened</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>文件中没有图标</source>
        <translation>the file holds no icons</translation>
    </message>
    <message>
        <source>文件已损坏</source>
        <translation>the file is damaged</translation>
    </message>
    <message>
        <source>文件中的图标超出可读取的范围</source>
        <translation>the icons in the file are larger than can be read</translation>
    </message>
    <message>
        <source>不支持这种图标格式</source>
        <translation>this kind of icon is not supported</translation>
    </message>
    <message>
        <source>文件中已没有这个图标</source>
        <translation>the icon is no longer in the file</translation>
    </message>
    <message>
        <source>读取已中止</source>
        <translation>reading was cancelled</translation>
    </message>
    <message>
        <source>文件已加密</source>
        <translation>the file is encrypted</translation>
    </message>
    <message>
        <source>“%1”：%2。<byte value="xd"/>
（%3）</source>
        <translation>“%1”: %2.<byte value="xd"/>
(%3)</translation>
    </message>
</context>
<context>
    <name>FolderChooser</name>
    <message>
        <source>路径选择：</source>
        <translation>Choose Folder</translation>
    </message>
    <message>
        <source>选择搜索路径：</source>
        <translation>Folder to search:</translation>
    </message>
    <message>
        <source>确&#x3000;定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取&#x3000;消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>错误：</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>设备未准备好！</source>
        <translation>The drive is not ready.</translation>
    </message>
</context>
<context>
    <name>Grabber</name>
    <message>
        <source>左键抓图</source>
        <translation>Grab</translation>
    </message>
    <message>
        <source>保存图片</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>返&#x3000;回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>保存图片：</source>
        <translation>Save Picture</translation>
    </message>
    <message>
        <source>位图文件 (*.Bmp)</source>
        <translation>Bitmap file (*.Bmp)</translation>
    </message>
    <message>
        <source>文件已经存在，是否覆盖文件？</source>
        <translation>The file already exists. Replace it?</translation>
    </message>
    <message>
        <source>左键抓图：</source>
        <translation>Grab</translation>
    </message>
    <message>
        <source>抓图需要 X11 图形会话（或 XWayland），当前会话中找不到 X11 显示。</source>
        <translation>Grabbing a window needs an X11 session (or XWayland); this session has no X11 display.</translation>
    </message>
    <message>
        <source>抓图需要桌面的截图服务（xdg-desktop-portal），当前桌面没有提供这项服务。</source>
        <translation>Grabbing needs the desktop’s screenshot service (xdg-desktop-portal), which this desktop does not offer.</translation>
    </message>
    <message>
        <source>截图失败：桌面的截图服务没能截取图像。</source>
        <translation>The screenshot failed: the desktop’s screenshot service took no picture.</translation>
    </message>
    <message>
        <source>桌面的截图服务迟迟没有回应，本次抓图已取消。</source>
        <translation>The desktop’s screenshot service did not answer; the grab was cancelled.</translation>
    </message>
    <message>
        <source>无法读取截图服务交来的图像：
%1</source>
        <translation>The picture from the screenshot service cannot be read:
%1</translation>
    </message>
    <message>
        <source>文件保存失败：
%1</source>
        <translation>The file could not be saved:
%1</translation>
    </message>
</context>
<context>
    <name>IconDetails</name>
    <message>
        <source>图标详情</source>
        <translation>Icon Details</translation>
    </message>
    <message>
        <source>尺寸</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>颜色深度</source>
        <translation>Color depth</translation>
    </message>
    <message>
        <source>格式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>unreadable</translation>
    </message>
    <message>
        <source>图标名称：</source>
        <translation>Icon name:</translation>
    </message>
    <message>
        <source>保存原图标为 ICO…</source>
        <translation>Save as ICO…</translation>
    </message>
    <message>
        <source>全部保存为 PNG…</source>
        <translation>Save all as PNG…</translation>
    </message>
    <message>
        <source>安装到图标主题</source>
        <translation>Add to icon theme</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>图标文件 (*.ico)</source>
        <translation>Icon file (*.ico)</translation>
    </message>
    <message>
        <source>选择保存 PNG 的文件夹</source>
        <translation>Choose a folder for the PNG files</translation>
    </message>
    <message>
        <source>图标详情：</source>
        <translation>Icon Details</translation>
    </message>
    <message>
        <source>无法读取此图标的文件：</source>
        <translation>The file of this icon cannot be read:</translation>
    </message>
    <message>
        <source>已保存：</source>
        <translation>Saved:</translation>
    </message>
    <message>
        <source>无法保存：</source>
        <translation>Could not save:</translation>
    </message>
    <message>
        <source>请输入图标名称。</source>
        <translation>Enter a name for the icon.</translation>
    </message>
    <message>
        <source>图标名称不能含有“/”，也不能是“.”或“..”。</source>
        <translation>An icon name cannot contain “/” and cannot be “.” or “..”.</translation>
    </message>
    <message>
        <source>此图标没有图标主题的标准尺寸（16、22、24、32、48、64、128、256）。</source>
        <translation>This icon has none of an icon theme’s standard sizes (16, 22, 24, 32, 48, 64, 128, 256).</translation>
    </message>
    <message>
        <source>已安装到：</source>
        <translation>Installed in:</translation>
    </message>
    <message>
        <source>创建启动器</source>
        <translation>Create launcher</translation>
    </message>
    <message>
        <source>启动器名称：</source>
        <translation>Launcher name:</translation>
    </message>
    <message>
        <source>已创建启动器：</source>
        <translation>Launcher created:</translation>
    </message>
    <message>
        <source>无法创建启动器：</source>
        <translation>Could not create the launcher:</translation>
    </message>
    <message>
        <source>文件说明：</source>
        <translation>Description: </translation>
    </message>
    <message>
        <source>产品名称：</source>
        <translation>Product: </translation>
    </message>
    <message>
        <source>版本：</source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>公司：</source>
        <translation>Company: </translation>
    </message>
    <message>
        <source>无法解码此图像</source>
        <translation>this image cannot be decoded</translation>
    </message>
    <message>
        <source>无法将此图像编码为 PNG</source>
        <translation>this image cannot be written as PNG</translation>
    </message>
    <message>
        <source>“%1”：%2。</source>
        <translation>“%1”: %2.</translation>
    </message>
    <message>
        <source> 位</source>
        <translation>-bit</translation>
    </message>
    <message>
        <source>已更新启动器：</source>
        <translation>Launcher updated:</translation>
    </message>
    <message>
        <source>启动器已是最新，未作改动：</source>
        <translation>The launcher is already up to date; nothing was written:</translation>
    </message>
    <message>
        <source>启动器名称不能为空。</source>
        <translation>The launcher name cannot be empty.</translation>
    </message>
    <message>
        <source>热点：%1, %2</source>
        <translation>Hot spot: %1, %2</translation>
    </message>
    <message>
        <source>已有同名的启动器，来自别的快捷方式或程序，或是手工写的：
%1
要替换它吗？</source>
        <translation>A launcher of that name already exists, made from another shortcut or program, or written by hand:
%1
Replace it?</translation>
    </message>
</context>
<context>
    <name>Launcher</name>
    <message>
        <source>“%1”：%2。</source>
        <translation>“%1”: %2.</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source>快捷方式已损坏</source>
        <translation>the shortcut is damaged</translation>
    </message>
    <message>
        <source>快捷方式没有指向任何程序</source>
        <translation>the shortcut points to no program</translation>
    </message>
    <message>
        <source>这是 Windows 路径，但找不到它所在的 Wine 前缀</source>
        <translation>a Windows path, but no Wine prefix holds it</translation>
    </message>
    <message>
        <source>Wine 前缀不是文件夹</source>
        <translation>the Wine prefix is not a folder</translation>
    </message>
    <message>
        <source>这个文件夹不是 Wine 前缀</source>
        <translation>this folder is not a Wine prefix</translation>
    </message>
    <message>
        <source>这是 Linux 程序，Wine 会直接运行它；启动器只运行 Windows 程序和文档</source>
        <translation>a Linux program, which Wine would run as it is; a launcher runs only Windows programs and documents</translation>
    </message>
    <message>
        <source>网址“%1”不是网页或邮件地址</source>
        <translation>the address “%1” is no web or mail address</translation>
    </message>
    <message>
        <source>已有同名的启动器，来自别的快捷方式或程序</source>
        <translation>a launcher of that name exists, made from another shortcut or program</translation>
    </message>
    <message>
        <source>Wine 前缀中没有驱动器 %1</source>
        <translation>the Wine prefix has no drive %1</translation>
    </message>
    <message>
        <source>路径超出了驱动器的根目录</source>
        <translation>the path leads above the root of its drive</translation>
    </message>
    <message>
        <source>Wine 没有设置环境变量 %%1%</source>
        <translation>Wine does not set the variable %%1%</translation>
    </message>
    <message>
        <source>网络路径不在 Wine 前缀的驱动器上</source>
        <translation>a network path is on no drive of the Wine prefix</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>路径过长</source>
        <translation>the path is too long</translation>
    </message>
    <message>
        <source>不是程序文件</source>
        <translation>not a program file</translation>
    </message>
    <message>
        <source>不是 Windows 程序（没有 PE 或 NE 文件头）</source>
        <translation>not a Windows program (no PE or NE header)</translation>
    </message>
    <message>
        <source>没有序号为 %1 的图标</source>
        <translation>no icon with the index %1</translation>
    </message>
    <message>
        <source>图标中没有可以读取的图像</source>
        <translation>the icon has no image that can be read</translation>
    </message>
    <message>
        <source>启动器名称不能为空，不能含有“/”或控制字符，也不能是“.”或“..”。</source>
        <translation>A launcher name cannot be empty, cannot contain “/” or control characters, and cannot be “.” or “..”.</translation>
    </message>
    <message>
        <source>启动器名称太长：最多 %1 字节。</source>
        <translation>The launcher name is too long: at most %1 bytes.</translation>
    </message>
    <message>
        <source>含有控制字符，启动器的 %1 无法容纳</source>
        <translation>holds control characters, which the launcher’s %1 cannot hold</translation>
    </message>
    <message>
        <source>不是 UTF-8 文本，启动器的 %1 无法容纳</source>
        <translation>is not UTF-8 text, which the launcher’s %1 cannot hold</translation>
    </message>
    <message>
        <source>找不到保存启动器的文件夹（未设置 HOME）。</source>
        <translation>There is no folder to keep launchers in (HOME is not set).</translation>
    </message>
    <message>
        <source>无法写入</source>
        <translation>cannot be written</translation>
    </message>
    <message>
        <source>快捷方式的图标文件不存在</source>
        <translation>the shortcut’s icon file does not exist</translation>
    </message>
    <message>
        <source>无法读取其中的图标</source>
        <translation>its icon cannot be read</translation>
    </message>
    <message>
        <source>改为显示此程序的图标</source>
        <translation>its icon is shown instead</translation>
    </message>
    <message>
        <source>改为显示桌面的图标“%1”。</source>
        <translation>The desktop’s icon “%1” is shown instead.</translation>
    </message>
    <message>
        <source>不是程序，由 Wine 的 start 像 Windows 一样打开</source>
        <translation>not a program: Wine’s start opens it as Windows does</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Glimmerbox（6.02）</source>
        <translation>Glimmerbox (6.02)</translation>
    </message>
    <message>
        <source>开始搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>停止搜索</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>抓取图像</source>
        <translation>Grab</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>关于软件</source>
        <translation>About</translation>
    </message>
    <message>
        <source>大图显示</source>
        <translation>Large icons</translation>
    </message>
    <message>
        <source>小图显示</source>
        <translation>Small icons</translation>
    </message>
    <message>
        <source>列表显示</source>
        <translation>List</translation>
    </message>
    <message>
        <source>图形转换压缩</source>
        <translation>Image converter</translation>
    </message>
    <message>
        <source>浏览&gt;&gt;</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>搜索子目录</source>
        <translation>Subfolders</translation>
    </message>
    <message>
        <source>搜索压缩包</source>
        <translation>Archives</translation>
    </message>
    <message>
        <source>也在 zip、7z、cab、tar、rar 压缩包，ISO 光盘映像和 MSI 安装包中搜索图标（不写入磁盘）</source>
        <translation>Also search zip, 7z, cab, tar and rar archives, ISO disc images and MSI installers (nothing is written to disk)</translation>
    </message>
    <message>
        <source>共搜索文件数：</source>
        <translation>Files searched:</translation>
    </message>
    <message>
        <source>指定搜索路径：</source>
        <translation>Search in:</translation>
    </message>
    <message>
        <source>搜索文件类型：</source>
        <translation>File types:</translation>
    </message>
    <message>
        <source>点击“开始搜索”按钮提取图标！</source>
        <translation>Click “Search” to find the icons!</translation>
    </message>
    <message>
        <source>稍后，正在搜索... </source>
        <translation>Searching, please wait... </translation>
    </message>
    <message>
        <source>正在提取图标文件： </source>
        <translation>Reading icons from: </translation>
    </message>
    <message>
        <source>正在添加第%1个图标</source>
        <translation>Adding icon %1</translation>
    </message>
    <message>
        <source>搜索结果：共计%1 个图标</source>
        <translation>Found: %1 icons</translation>
    </message>
    <message>
        <source>显示结果：共计%1 个图标</source>
        <translation>Shown: %1 icons</translation>
    </message>
    <message>
        <source>图标取自文件： </source>
        <translation> is an icon from: </translation>
    </message>
    <message>
        <source>无效路径：</source>
        <translation>Invalid Folder</translation>
    </message>
    <message>
        <source>搜索路径设置错误，重新设置！</source>
        <translation>The folder to search does not exist. Choose another one.</translation>
    </message>
    <message>
        <source>图形转换压缩</source>
        <comment>narrow button, one short line each</comment>
        <translation>BMP
⇄
JPEG</translation>
    </message>
</context>
</TS>

// The program's interface texts, named after their string-table IDs.
#pragma once

#include <QString>

namespace vellox::ui {

inline QString Tr(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Main window.
inline const char* const kCaption = "Vellox 邮件碎片扫描恢复软件 V3.0 for Outlook Express & Foxmail";
inline const char* const kIds101About = "关于 Vellox(&A)...";
inline const char* const kIds103Properties = "数据源： %1 \r\n位  置： %2 扇区";
inline const char* const kIds104Rescan = "重新扫描将会放弃上一次扫描的结果。\r\n您是否要重新扫描？";
inline const char* const kIds106ScanRunning =
    "正在扫描数据，您是否要继续扫描数据？\r\n点击“是”回到主界面继续扫描。点击“否”停止扫描，直接退出。";
inline const char* const kIds149Unsaved =
    "扫描到邮件，建议先保存数据再退出。\r\n点击“确定”，回到主界面保存数据。点击“取消”直接退出。";
inline const char* const kIds158From = "发件人";
inline const char* const kIds159Subject = "主题";
inline const char* const kIds160Root = "本地文件夹";
inline const char* const kIds161Inbox = "收件箱";
inline const char* const kIds162Date = "接收时间";
inline const char* const kIds174SaveFailed = "保存文件失败！";
inline const char* const kIds175Saved = "成功保存 %1 封邮件！";
inline const char* const kIds177MkdirFailed = "创建目录失败！\r\n%1";
inline const char* const kIds135ChooseDir =
    "请选择一目录来保存数据，建议保存到别的分区或者硬盘上。\r\n不要将数据保存到待恢复的分区上。";

// Buttons.
inline const char* const kSave = "保存";
inline const char* const kData = "数据";
inline const char* const kHelp = "帮助";
inline const char* const kFind = "查找";
inline const char* const kStop = "停止";

// Menu 136.
inline const char* const kSaveAsEml = "保存成eml文件";
inline const char* const kSaveAsTxt = "保存成txt文件";
inline const char* const kProperties = "查看属性";

// Source picker (dialog 133).
inline const char* const kPickerCaption = "选择数据";
inline const char* const kPickerText = "请选择要扫描的邮件位置，\r\n可以是文件、分区或者整个硬盘。";
inline const char* const kOpenImage = "打开磁盘镜像文件";
inline const char* const kOk = "确认";
inline const char* const kCancel = "取消";
inline const char* const kIds141LocalDisks = "本地磁盘";
inline const char* const kIds142ImageFiles = "镜像文件";
inline const char* const kIds150NoDisks =
    "没有可以打开的磁盘或分区：读取磁盘需要管理员权限（以 root 身份运行，或加入 disk 组）。仍可打开磁盘镜像文件。";
inline const char* const kIds112CannotOpen = "无法打开所选的数据源，它可能已被移除。";
inline const char* const kImageFilter = "File(*.img *.dsk *.hex *.dbx *.box);;All Files(*)";

// Single-message saves.
inline const char* const kEmlFilter = "EMail File(*.eml)";
inline const char* const kTxtFilter = "Text File(*.txt)";

} // namespace vellox::ui

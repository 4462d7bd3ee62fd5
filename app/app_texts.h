#pragma once
// The tool's own fixed texts (GBK at run time).

#include "vantorico_version.h"  // VANTORICO_VERSION, generated from the project's version

namespace vantorico {

inline constexpr char kTextExtractionDone[] = "提取完成";
inline constexpr char kTextIconSuffix[] = ".ico";
inline constexpr char kTextSeparator[] = "\\";
inline constexpr char kTextEmpty[] = "";

// What the extraction handler says when a run is not a plain success.
inline constexpr char kTextLineBreak[] = "\r\n";
inline constexpr char kTextNothingExtracted[] = "没有找到可以提取的图标";
inline constexpr char kTextNoFileChosen[] = "还没有选择文件：请把程序文件拖放到窗口上，或点击“浏览文件”选择。";
inline constexpr char kTextUnsupportedFile[] =
    "只能从 exe、dll、icl 程序文件和 ico 图标文件中提取图标（一次一个文件）。";
inline constexpr char kTextSourceUnreadable[] =
    "无法读取这个文件：它不存在、正被其他程序使用，或不是有效的程序文件。";
inline constexpr char kTextNoIconGroups[] = "这个文件中没有图标。";
inline constexpr char kTextGroupsDamaged[] = "这个文件中的图标数据已损坏，无法读取。";
inline constexpr char kTextWriteFailed[] = "有图标文件未能写入：";
inline constexpr char kTextOutputIsSource[] = "这是正在提取的源文件本身，不能覆盖它。";
inline constexpr char kTextDiskFull[] = "磁盘空间不足";
inline constexpr char kTextAccessDenied[] = "没有写入权限（文件夹只读或受保护）";
inline constexpr char kTextFolderMissing[] = "文件夹不存在";
inline constexpr char kTextPathTooLong[] = "路径太长";
inline constexpr char kTextFileInUse[] = "文件正被其他程序使用";
inline constexpr char kTextWriteRefused[] = "系统拒绝写入";
inline constexpr char kTextErrorCodeOpen[] = "（错误代码 ";
inline constexpr char kTextErrorCodeClose[] = "）";
inline constexpr char kTextOthersWrittenOpen[] = "其余 ";
inline constexpr char kTextOthersWrittenClose[] = " 个图标文件已写入。";
inline constexpr char kTextPartlyExtractedOpen[] = "已提取 ";
inline constexpr char kTextPartlyExtractedMiddle[] = " 个图标文件；另有 ";
inline constexpr char kTextPartlyExtractedClose[] = " 个图标组已损坏，无法提取。";
inline constexpr char kTextUsage[] =
    "直接用鼠标拖放要提取ico图标的程序到本工具窗口即可，点击提取图标按钮后即可在本工具所在目录生成"
    "提取出的所有图"
    "标文件";
inline constexpr char kTextAbout[] =
    "VantorICO 由 Vantor 工作室出品，作者：VantorICO 开发组·"
    "欢迎使用本工具，可以方便你提取然后软件的ICO图标文件·"
    "VantorICO " VANTORICO_VERSION "，说明见随附的 README 文件";

}  // namespace vantorico

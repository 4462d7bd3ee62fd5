#pragma once
// The tool's own fixed texts (GBK at run time).

namespace vantorico {

inline constexpr char kTextExtractionDone[] = "提取完成";
inline constexpr char kTextIconSuffix[] = ".ico";
inline constexpr char kTextSeparator[] = "\\";
inline constexpr char kTextEmpty[] = "";
inline constexpr char kTextUsage[] =
    "直接用鼠标拖放要提取ico图标的程序到本工具窗口即可，点击提取图标按钮后即可在本工具所在目录生成"
    "提取出的所有图"
    "标文件";
inline constexpr char kTextAbout[] =
    "VantorICO 由 Vantor 工作室出品，作者：VantorICO 开发组·"
    "欢迎使用本工具，可以方便你提取然后软件的ICO图标文件·"
    "更多工具与交流请到 Vantor 论坛：https://vantorico.example/forum";

}  // namespace vantorico

#pragma once
// Runtime error texts of the window and property commands.

namespace vantorico {

inline constexpr char kTextStartWindowFailed[] = "载入启动窗口失败";
inline constexpr char kTextUnitNotLoaded[] = "指定窗口或窗口组件不存在或尚未载入";
inline constexpr char kTextWindowOfUnitNotLoaded[] = "未载入欲访问窗口组件所在的窗口";
inline constexpr char kTextWindowNotLoaded[] = "指定窗口尚未载入";

}  // namespace vantorico

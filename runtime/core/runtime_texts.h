#pragma once
// The runtime's own fixed texts (GBK at run time).

namespace vantorico {

inline constexpr char kTextRuntimeErrorHead[] = "运行时出错!";
inline constexpr char kTextErrorCodeLabel[] = "错误代码：";
inline constexpr char kTextErrorMessageLabel[] = "错误信息：";
inline constexpr char kTextErrorCaption[] = "错误";
inline constexpr char kTextAllocationFailed[] = "分配 %d 字节内存失败!";
inline constexpr char kTextDefaultCaption[] = "信息：";
inline constexpr char kTextTrue[] = "真";
inline constexpr char kTextFalse[] = "假";

}  // namespace vantorico

#pragma once
// The units of MainWindow that the handlers address.
#include <cstdint>

#include "base/arg_slot.h"

namespace vantorico {

constexpr uint32_t kMainWindowUnitId = 0x06010000;
constexpr uint32_t kPathBoxId = 0x16010004;        // 编辑框1
constexpr uint32_t kExtractButtonId = 0x1601000E;  // 按钮1
constexpr uint32_t kFileDialogId = 0x1601002A;     // 通用对话框1
constexpr uint32_t kDropTargetId = 0x16010010;     // 拖放对象1
constexpr uint32_t kFileMenuEntryId = 0x26010022;  // menu entry "文件"

}  // namespace vantorico

#include "shell/tray/tray_rules.h"

namespace vantorico {

std::array<char, kTooltipSize> TrayTooltipField(const char* tooltip) {
  std::array<char, kTooltipSize> field{};
  for (size_t i = 0; tooltip && i < kTooltipMaxBytes && tooltip[i] != '\0'; ++i)
    field[i] = tooltip[i];
  return field;
}

std::optional<int32_t> TrayActionFor(uint32_t mouseMessage) {
  switch (mouseMessage) {
    case kMessageLeftButtonUp:
      return TrayLeftUp;
    case kMessageLeftDoubleClick:
      return TrayLeftDoubleClick;
    case kMessageRightButtonUp:
    case kMessageContextMenu:
      return TrayRightUp;
    default:
      return std::nullopt;
  }
}

TrayCall DecideTrayCall(bool hasIcon, bool hasNewIcon) {
  if (hasIcon) return hasNewIcon ? TrayCall::Modify : TrayCall::Delete;
  return hasNewIcon ? TrayCall::Add : TrayCall::None;
}

}  // namespace vantorico

#pragma once
// Fixed numbers of the tray icon and its menu: the notification record, the
// callback's mouse messages, the icon-entry choice and the popup. The image
// header's fields are the engine's (iconlib/formats/icon_constants.h); menu command
// identifiers and MenuFlags are the window framework's.
#include <cstddef>
#include <cstdint>

#include "framework/layout_constants.h"

namespace vantorico {

// A window has this one icon.
constexpr uint32_t TrayIconId = 100;
// The message the shell sends the window for mouse actions on the icon.
constexpr uint32_t TrayCallbackMessage = 0x8064;
// The mouse action reported by TrayEvent.
enum TrayAction : int32_t {
  TrayLeftUp = 1,
  TrayLeftDoubleClick = 2,
  TrayRightUp = 3,
};

// Mouse messages the shell puts in the callback's lParam.
constexpr uint32_t kMessageLeftButtonUp = 0x202;     // WM_LBUTTONUP
constexpr uint32_t kMessageLeftDoubleClick = 0x203;  // WM_LBUTTONDBLCLK
constexpr uint32_t kMessageRightButtonUp = 0x205;    // WM_RBUTTONUP
constexpr uint32_t kMessageContextMenu = 0x7B;       // WM_CONTEXTMENU

// NOTIFYICONDATAA in its 88-byte form.
constexpr uint32_t kNotifyIconDataSize = 88;
constexpr size_t kTooltipSize = 64;
constexpr size_t kTooltipMaxBytes = 62;
constexpr uint32_t kNotifyFlags = 7;  // NIF_MESSAGE | NIF_ICON | NIF_TIP

// The shell's broadcast after its taskbar has been (re)created.
constexpr char kTaskbarCreatedMessage[] = "TaskbarCreated";

// An entry qualifies with at least this many colours and the preferred width.
constexpr uint8_t kMinPreferredColors = 16;
constexpr uint8_t kSmallIconWidth = 16;
constexpr uint8_t kLargeIconWidth = 32;

// Bit count that the fallback icon creation is not tried for.
constexpr uint16_t kNoFallbackBitCount = 16;
constexpr uint32_t kIconFormatVersion = 0x00030000;

// A menu entry with this caption is a separator.
constexpr char kSeparatorCaption[] = "-";

// The popup's top-right corner stands this far up and left of the cursor.
constexpr int kPopupCursorOffset = 5;

}  // namespace vantorico

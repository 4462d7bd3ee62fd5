#pragma once
// A window's icon in the notification area: shown, replaced and removed by the
// state table, re-added when the shell's taskbar comes back.
#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>

#include "base/win_handles.h"
#include "shell/tray/tray_constants.h"

namespace vantorico {

// Shell_NotifyIconA, or a test's stand-in.
using NotifyIconFunction = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAA data);

class TrayIcon {
 public:
  explicit TrayIcon(HWND window, NotifyIconFunction notify = Shell_NotifyIconA);
  // Removes the icon if the window never got to OnWindowDestroyed.
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // SetTrayIcon with the bytes of an icon file (none: null or length <= 0)
  // and an optional tooltip (null: empty).
  void SetFromBytes(const uint8_t* bytes, int32_t length, const char* tooltip);
  // SetTrayIcon with the path of an icon file.
  void SetFromFile(const char* path, const char* tooltip);
  // SetTrayIcon with an icon already made (none removes the shown one).
  void Set(UniqueIcon icon, const char* tooltip);

  // Every message of the window goes through here. True, with *trayAction set,
  // when the window is to fire TrayEvent; "TaskbarCreated" re-adds the icon.
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, int32_t* trayAction);

  // The last step of the window's WM_DESTROY handling.
  void OnWindowDestroyed();

  HICON icon() const { return icon_.get(); }
  bool shown() const { return static_cast<bool>(icon_); }
  // What the last shell call returned (not acted on), and how many were made.
  BOOL lastNotifyResult() const { return lastResult_; }
  int notifyCalls() const { return calls_; }

  static UINT TaskbarCreatedMessage();

 private:
  void Notify(DWORD message, HICON icon, bool withFlags);

  HWND window_;
  NotifyIconFunction notify_;
  UniqueIcon icon_;
  std::array<char, kTooltipSize> tooltip_{};
  BOOL lastResult_ = FALSE;
  int calls_ = 0;
};

}  // namespace vantorico

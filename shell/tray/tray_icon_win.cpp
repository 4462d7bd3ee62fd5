#include "shell/tray/tray_icon_win.h"

#include <cstddef>
#include <cstring>

#include "iconlib/platform/file_io.h"
#include "shell/tray/make_icon_win.h"
#include "shell/tray/tray_rules.h"

namespace vantorico {

// The record in its first form, ending after a 64-byte tooltip: 88 bytes on
// 32-bit Windows; a 64-bit build has the same fields, pointer-sized.
constexpr DWORD kNotifyIconRecordSize = offsetof(NOTIFYICONDATAA, szTip) + kTooltipSize;
static_assert(sizeof(void*) != 4 || kNotifyIconRecordSize == kNotifyIconDataSize,
              "the 88-byte record ends after a 64-byte tooltip");
static_assert(kNotifyIconRecordSize == NOTIFYICONDATAA_V1_SIZE, "the first form of the record");
static_assert(kNotifyFlags == (NIF_MESSAGE | NIF_ICON | NIF_TIP));
static_assert(kMessageLeftButtonUp == WM_LBUTTONUP && kMessageLeftDoubleClick == WM_LBUTTONDBLCLK &&
              kMessageRightButtonUp == WM_RBUTTONUP && kMessageContextMenu == WM_CONTEXTMENU);

TrayIcon::TrayIcon(HWND window, NotifyIconFunction notify) : window_(window), notify_(notify) {
  TaskbarCreatedMessage();
}

TrayIcon::~TrayIcon() {
  OnWindowDestroyed();
}

UINT TrayIcon::TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA(kTaskbarCreatedMessage);
  return message;
}

void TrayIcon::SetFromBytes(const uint8_t* bytes, int32_t length, const char* tooltip) {
  UniqueIcon icon = MakeIconFromIcoBytes(bytes, length, false);
  if (!icon) icon = MakeIconFromIcoBytes(bytes, length, true);
  Set(std::move(icon), tooltip);
}

void TrayIcon::SetFromFile(const char* path, const char* tooltip) {
  // The file is read whole by the engine's own reader, as icon files are; the
  // tool's path is in the ANSI code page.
  const SourceFile source = ReadSourceFile(EnginePathOfCodePageText(path).c_str());
  const ByteSpan bytes = source.view ? source.view->bytes() : ByteSpan();
  SetFromBytes(bytes.data(), static_cast<int32_t>(bytes.size()), tooltip);
}

void TrayIcon::Set(UniqueIcon icon, const char* tooltip) {
  tooltip_ = TrayTooltipField(tooltip);
  switch (DecideTrayCall(shown(), static_cast<bool>(icon))) {
    case TrayCall::Add:
      Notify(NIM_ADD, icon.get(), true);
      break;
    case TrayCall::Modify:
      Notify(NIM_MODIFY, icon.get(), true);
      break;
    case TrayCall::Delete:
      Notify(NIM_DELETE, nullptr, false);
      break;
    case TrayCall::None:
      break;
  }
  // The old handle goes only after the shell has the new one.
  icon_ = std::move(icon);
}

bool TrayIcon::HandleMessage(UINT message, WPARAM, LPARAM lparam, int32_t* trayAction) {
  if (message == TrayCallbackMessage) {
    const auto action = TrayActionFor(static_cast<uint32_t>(lparam));
    if (!action) return false;
    *trayAction = *action;
    return true;
  }
  // A restarted shell knows no icons: show ours again.
  if (message == TaskbarCreatedMessage() && shown()) Notify(NIM_ADD, icon_.get(), true);
  return false;
}

void TrayIcon::OnWindowDestroyed() {
  if (!shown()) return;
  Notify(NIM_DELETE, nullptr, false);
  icon_.reset();
}

void TrayIcon::Notify(DWORD message, HICON icon, bool withFlags) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = kNotifyIconRecordSize;
  data.hWnd = window_;
  data.uID = TrayIconId;
  data.uFlags = withFlags ? kNotifyFlags : 0;
  data.uCallbackMessage = TrayCallbackMessage;
  data.hIcon = icon;
  std::memcpy(data.szTip, tooltip_.data(), tooltip_.size());
  lastResult_ = notify_(message, &data);
  ++calls_;
}

}  // namespace vantorico

#pragma once
// Catches the dialogs (message boxes, file dialogs) that the code under test
// opens on this thread, records what they show, and closes each with the
// button the test chose. It hooks WM_INITDIALOG through WH_CALLWNDPROCRET:
// under Wine an earlier hook point sees the box before its texts exist.
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vantorico::testing_support {

struct SeenDialog {
  std::string caption;
  std::string text;  // the message box's static text (id 0xFFFF)
  bool hasIcon = false;
  std::vector<HWND> disabledTopLevels;  // other windows of the thread disabled while it showed
};

class DialogWatcher {
 public:
  DialogWatcher();
  ~DialogWatcher();
  DialogWatcher(const DialogWatcher&) = delete;
  DialogWatcher& operator=(const DialogWatcher&) = delete;

  // The command id each next dialog is closed with (IDOK when none is queued).
  void QueueAnswer(int command_id) { answers_.push_back(command_id); }
  // Runs inside the dialog before it is answered (for example to fill a file name).
  void OnDialog(std::function<void(HWND)> action) { action_ = std::move(action); }
  // Windows whose enabled state is recorded at each dialog.
  void WatchWindow(HWND hwnd) { watched_.push_back(hwnd); }

  const std::vector<SeenDialog>& seen() const { return seen_; }

 private:
  static LRESULT CALLBACK HookProc(int code, WPARAM wparam, LPARAM lparam);
  void Handle(HWND dialog);

  HHOOK hook_ = nullptr;
  std::deque<int> answers_;
  std::function<void(HWND)> action_;
  std::vector<HWND> watched_;
  std::vector<SeenDialog> seen_;
};

// Whether a dialog shows an icon (a visible icon static that holds one).
bool HasVisibleIcon(HWND dialog);

// Text of a window as the ANSI API gives it.
std::string WindowText(HWND hwnd);

}  // namespace vantorico::testing_support

#include "runtime/dialog/open_common_dialog_win.h"

#include <commdlg.h>

#include <array>
#include <cstddef>
#include <string>

#include "runtime/dialog/dialog_flags.h"
#include "runtime/dialog/filter_conversion.h"

namespace vantorico {
namespace {

// The record in its first form: the fields before the newer ones. That is 76
// bytes on 32-bit Windows; a 64-bit build has the same fields, pointer-sized.
constexpr DWORD kOpenFileNameRecordSize = offsetof(OPENFILENAMEA, pvReserved);
static_assert(sizeof(void*) != 4 || kOpenFileNameRecordSize == kOpenFileNameSize,
              "the 76-byte record ends where the newer fields begin");

// The portable copies of the record's flag bits and buffer size.
static_assert(kOfnOverwritePrompt == OFN_OVERWRITEPROMPT && kOfnHideReadOnly == OFN_HIDEREADONLY &&
              kOfnNoChangeDir == OFN_NOCHANGEDIR && kOfnPathMustExist == OFN_PATHMUSTEXIST &&
              kOfnFileMustExist == OFN_FILEMUSTEXIST && kOfnCreatePrompt == OFN_CREATEPROMPT &&
              kOfnExplorer == OFN_EXPLORER && kOfnEnableSizing == OFN_ENABLESIZING);
static_assert(kFileBufferSize == MAX_PATH);

const char* OrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

// Keeps the owner disabled while the dialog runs and restores the owner and
// the keyboard focus afterwards, on every path.
class ModalOwnerScope {
 public:
  explicit ModalOwnerScope(HWND owner)
      : owner_(owner), focus_(GetFocus()), disabled_(owner && IsWindowEnabled(owner)) {
    if (disabled_) EnableWindow(owner_, FALSE);
  }
  ModalOwnerScope(const ModalOwnerScope&) = delete;
  ModalOwnerScope& operator=(const ModalOwnerScope&) = delete;
  ~ModalOwnerScope() {
    if (disabled_) EnableWindow(owner_, TRUE);
    if (focus_ && IsWindow(focus_)) SetFocus(focus_);
  }

 private:
  HWND owner_;
  HWND focus_;
  bool disabled_;
};

}  // namespace

HWND FallbackDialogOwner() {
  HWND active = GetActiveWindow();
  return active ? GetLastActivePopup(active) : nullptr;
}

bool OpenCommonDialog(CommonDlgSettings& settings, HWND owner) {
  if (settings.dialogType != kDialogOpenFile && settings.dialogType != kDialogSaveFile)
    return false;

  const std::string filter = ConvertFilter(settings.filter.c_str());
  std::array<char, kFileBufferSize> file{};
  lstrcpynA(file.data(), settings.fileName.c_str(), static_cast<int>(file.size()));
  std::array<char, kFileTitleBufferSize> fileTitle{};

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = kOpenFileNameRecordSize;
  ofn.hwndOwner = owner;
  if (!filter.empty()) {
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex =
        static_cast<DWORD>(settings.initialFilter < 0 ? 1 : settings.initialFilter + 1);
  }
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrFileTitle = fileTitle.data();
  ofn.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
  ofn.lpstrInitialDir = OrNull(settings.initialDirectory);
  ofn.lpstrTitle = OrNull(settings.title);
  ofn.lpstrDefExt = OrNull(settings.defaultExtension);
  ofn.Flags = OpenFileNameFlags(settings);

  BOOL confirmed = FALSE;
  {
    ModalOwnerScope scope(owner);
    confirmed =
        settings.dialogType == kDialogOpenFile ? GetOpenFileNameA(&ofn) : GetSaveFileNameA(&ofn);
  }
  if (!confirmed) return false;
  settings.fileName = file.data();
  return true;
}

}  // namespace vantorico

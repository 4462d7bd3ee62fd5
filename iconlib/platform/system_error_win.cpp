#include <windows.h>

#include "iconlib/platform/system_error.h"

#include "base/code_page_win.h"
#include "base/utf16.h"
#include "base/win_handles.h"

namespace vantorico {

SystemError SystemErrorOf(int code) {
  SystemError e{code, ErrorKind::Other};
  switch (static_cast<DWORD>(code)) {
    case ERROR_SUCCESS:
      e.kind = ErrorKind::None;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      e.kind = ErrorKind::DiskFull;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      e.kind = ErrorKind::AccessDenied;
      break;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
      e.kind = ErrorKind::PathNotFound;
      break;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
      e.kind = ErrorKind::PathTooLong;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      e.kind = ErrorKind::InUse;
      break;
    default:
      break;
  }
  return e;
}

SystemError LastSystemError() {
  return SystemErrorOf(static_cast<int>(GetLastError()));
}

namespace {

// The system's wide text for an error, without the line end FormatMessage puts
// after it: one place for both spellings below.
std::wstring SystemMessage(const SystemError& error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error.code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const UniqueLocal held(text);
  std::wstring out;
  if (n && text) out.assign(text, n);
  while (!out.empty() && (out.back() == L'\r' || out.back() == L'\n' || out.back() == L' ')) {
    out.pop_back();
  }
  return out;
}

std::string OrCode(std::string text, const SystemError& error) {
  return text.empty() ? "error " + std::to_string(error.code) : text;
}

}  // namespace

std::string SystemErrorText(const SystemError& error) {
  return OrCode(WideToCodePage(SystemMessage(error)), error);
}

std::string SystemErrorTextUtf8(const SystemError& error) {
  return OrCode(WideToUtf8(SystemMessage(error)), error);
}

}  // namespace vantorico

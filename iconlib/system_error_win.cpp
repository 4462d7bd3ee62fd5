#include <windows.h>

#include "iconlib/system_error.h"

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

std::string SystemErrorText(const SystemError& error) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error.code), 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out;
  if (n && text) out.assign(text, n);
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\r' || out.back() == '\n' || out.back() == ' ')) {
    out.pop_back();
  }
  if (out.empty()) out = "error " + std::to_string(error.code);
  return out;
}

}  // namespace vantorico

#pragma once
// Why the system refused an operation: the platform's own code (errno or
// GetLastError) and the few kinds of reason the tools word for the user.
#include <string>

namespace vantorico {

enum class ErrorKind {
  None,
  DiskFull,
  AccessDenied,  // permissions, a read-only folder or medium
  PathNotFound,  // a folder on the way is missing
  PathTooLong,
  InUse,  // another process holds the file
  Other,
};

struct SystemError {
  int code = 0;
  ErrorKind kind = ErrorKind::None;
};

// The calling thread's last error (errno / GetLastError), classified.
SystemError LastSystemError();
SystemError SystemErrorOf(int code);
// The system's own text for the error, in the system's language: in the ANSI
// code page on Windows (the window tool's texts), as the C library gives it
// elsewhere.
std::string SystemErrorText(const SystemError& error);
// The same as UTF-8 (the command line's texts): on Windows from the wide
// text, elsewhere as SystemErrorText.
std::string SystemErrorTextUtf8(const SystemError& error);

}  // namespace vantorico

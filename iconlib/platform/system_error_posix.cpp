#include <cerrno>
#include <cstring>

#include "iconlib/platform/system_error.h"

namespace vantorico {

SystemError SystemErrorOf(int code) {
  SystemError e{code, ErrorKind::Other};
  switch (code) {
    case 0:
      e.kind = ErrorKind::None;
      break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      e.kind = ErrorKind::DiskFull;
      break;
    case EACCES:
    case EPERM:
    case EROFS:
      e.kind = ErrorKind::AccessDenied;
      break;
    case ENOENT:
    case ENOTDIR:
      e.kind = ErrorKind::PathNotFound;
      break;
    case ENAMETOOLONG:
      e.kind = ErrorKind::PathTooLong;
      break;
    case ETXTBSY:
    case EBUSY:
      e.kind = ErrorKind::InUse;
      break;
    default:
      break;
  }
  return e;
}

SystemError LastSystemError() {
  return SystemErrorOf(errno);
}

namespace {
// strerror_r comes in two kinds: GNU's gives the text (perhaps not in the
// buffer), POSIX's fills the buffer and gives 0.
[[maybe_unused]] const char* TextOf(const char* text, const char*) {
  return text;
}
[[maybe_unused]] const char* TextOf(int failed, const char* buffer) {
  return failed ? "Unknown error" : buffer;
}
}  // namespace

std::string SystemErrorText(const SystemError& error) {
  // Not strerror: sources are opened and written on worker threads.
  char buffer[256] = {};
  return TextOf(strerror_r(error.code, buffer, sizeof buffer), buffer);
}

std::string SystemErrorTextUtf8(const SystemError& error) {
  return SystemErrorText(error);
}

}  // namespace vantorico

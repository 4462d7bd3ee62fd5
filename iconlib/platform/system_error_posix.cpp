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

std::string SystemErrorText(const SystemError& error) {
  return std::strerror(error.code);
}

std::string SystemErrorTextUtf8(const SystemError& error) {
  return SystemErrorText(error);
}

}  // namespace vantorico

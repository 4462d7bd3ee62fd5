#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "thumbnailer/thumbnail_files.h"

namespace vantorico {
namespace {

FileIdentity IdentityOf(const struct stat& st) {
  return FileIdentity{true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

}  // namespace

OpenedInput OpenInput(const char* path) {
  OpenedInput out;
  out.fd.reset(open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!out.fd) {
    out.error = LastSystemError();
    out.status =
        out.error.kind == ErrorKind::PathNotFound ? InputStatus::Missing : InputStatus::Unreadable;
    return out;
  }
  struct stat st;
  if (fstat(out.fd.get(), &st) != 0) {
    out.error = LastSystemError();
    out.status = InputStatus::Unreadable;
    return out;
  }
  if (!S_ISREG(st.st_mode)) {
    out.status = InputStatus::NotRegularFile;
    return out;
  }
  // Opened without waiting; read as any file, whatever the file system
  // makes of O_NONBLOCK.
  const int flags = fcntl(out.fd.get(), F_GETFL);
  if (flags >= 0) (void)fcntl(out.fd.get(), F_SETFL, flags & ~O_NONBLOCK);
  out.identity = IdentityOf(st);
  out.size = static_cast<uint64_t>(st.st_size);
  out.status = InputStatus::Opened;
  return out;
}

const char* OutputStatusText(OutputStatus status) {
  switch (status) {
    case OutputStatus::Opened:
      return "opened";
    case OutputStatus::Link:
      return "is a symbolic link";
    case OutputStatus::NotRegularFile:
      return "is not a regular file";
    case OutputStatus::ManyNames:
      return "has other names (hard links)";
    case OutputStatus::SameAsInput:
      return "is the input file";
    case OutputStatus::Changed:
      return "was replaced while it was opened";
    case OutputStatus::OpenFailed:
      return "cannot be opened";
  }
  return "unknown";
}

OpenedOutput InPlaceOutput::Open(const char* path, const FileIdentity& input) {
  OpenedOutput out;
  InPlaceOutput& o = out.output;
  o.path_ = path;
  struct stat named;
  if (lstat(path, &named) != 0) {
    if (errno != ENOENT) {
      out.error = LastSystemError();
      return out;
    }
    // Absent: created here, exclusively, so a name planted meanwhile makes
    // this fail instead of redirecting the write.
    o.fd_.reset(open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666));
    struct stat st;
    if (!o.fd_ || fstat(o.fd_.get(), &st) != 0) {
      out.error = LastSystemError();
      return out;
    }
    o.identity_ = IdentityOf(st);
    o.created_ = true;
    out.status = OutputStatus::Opened;
    return out;
  }
  // Judged by what the name is before anything is opened: opening a device
  // can act on it, and opening a FIFO can wait.
  if (S_ISLNK(named.st_mode)) {
    out.status = OutputStatus::Link;
    return out;
  }
  if (!S_ISREG(named.st_mode)) {
    out.status = OutputStatus::NotRegularFile;
    return out;
  }
  if (SameFile(IdentityOf(named), input)) {
    out.status = OutputStatus::SameAsInput;
    return out;
  }
  if (named.st_nlink != 1) {
    out.status = OutputStatus::ManyNames;
    return out;
  }
  // No O_TRUNC: the file is cut only once the picture is complete.
  o.fd_.reset(open(path, O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!o.fd_) {
    out.error = LastSystemError();
    out.status = out.error.code == ELOOP ? OutputStatus::Link : OutputStatus::OpenFailed;
    return out;
  }
  struct stat st;
  if (fstat(o.fd_.get(), &st) != 0) {
    out.error = LastSystemError();
    return out;
  }
  if (!S_ISREG(st.st_mode) || !SameFile(IdentityOf(st), IdentityOf(named))) {
    o.fd_.reset();
    out.status = OutputStatus::Changed;
    return out;
  }
  o.identity_ = IdentityOf(st);
  out.status = OutputStatus::Opened;
  return out;
}

bool InPlaceOutput::WriteWhole(ByteSpan bytes, SystemError* error) const {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n =
        pwrite(fd_.get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = n < 0 ? LastSystemError() : SystemErrorOf(ENOSPC);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (ftruncate(fd_.get(), static_cast<off_t>(bytes.size())) != 0) {
    *error = LastSystemError();
    return false;
  }
  return true;
}

void InPlaceOutput::Discard() {
  if (fd_) {
    (void)ftruncate(fd_.get(), 0);
  }
  struct stat st;
  const bool stillOurs = lstat(path_.c_str(), &st) == 0 && SameFile(IdentityOf(st), identity_);
  if (!fd_ && stillOurs) (void)truncate(path_.c_str(), 0);
  if (created_ && stillOurs) (void)unlink(path_.c_str());
}

bool InPlaceOutput::Close(SystemError* error) {
  if (!fd_) return true;
  if (fd_.Close()) return true;
  *error = LastSystemError();
  return false;
}

}  // namespace vantorico

#pragma once
// The owner of a POSIX file descriptor, as win_handles.h owns Win32 handles:
// whoever holds one closes it exactly once. POSIX builds only.
#include <unistd.h>

#include <utility>

namespace vantorico {

class PosixDescriptor {
 public:
  PosixDescriptor() = default;
  explicit PosixDescriptor(int fd) : fd_(fd) {}
  PosixDescriptor(const PosixDescriptor&) = delete;
  PosixDescriptor& operator=(const PosixDescriptor&) = delete;
  PosixDescriptor(PosixDescriptor&& o) noexcept : fd_(o.release()) {}
  PosixDescriptor& operator=(PosixDescriptor&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  ~PosixDescriptor() { reset(); }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now and says whether the system took it: a late write error
  // (a full disk on a network file system) shows only here.
  bool Close() { return ::close(release()) == 0; }

 private:
  int fd_ = -1;
};

}  // namespace vantorico

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <utility>

#include "iconlib/platform/source_descriptor.h"

namespace vantorico {
namespace {

// Exactly count bytes from offset by pread, so the descriptor's own
// position does not matter; false on an error or an early end (the file
// shrank while it was read).
bool ReadAll(int fd, uint64_t offset, uint8_t* out, size_t count, SystemError* error) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = pread(fd, out + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = n < 0 ? LastSystemError() : SystemError{};
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

class DescriptorSource final : public ByteSource {
 public:
  DescriptorSource(PosixDescriptor owned, int fd, uint64_t size, const FileIdentity& id)
      : ByteSource(size, id), owned_(std::move(owned)), fd_(fd) {}

 private:
  bool Fill(uint64_t offset, uint8_t* out, size_t length, SystemError* error) override {
    return ReadAll(fd_, offset, out, length, error);
  }

  PosixDescriptor owned_;
  int fd_;
};

// What fstat says of fd: Opened for a regular file, with its size and identity.
OpenStatus Examine(int fd, uint64_t* size, FileIdentity* id, SystemError* error) {
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    *error = fd < 0 ? SystemErrorOf(EBADF) : LastSystemError();
    return fd < 0 ? OpenStatus::Missing : OpenStatus::ReadFailed;
  }
  if (!S_ISREG(st.st_mode)) return OpenStatus::NotRegularFile;
  *size = static_cast<uint64_t>(st.st_size);
  *id = FileIdentity{true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return OpenStatus::Opened;
}

OpenedBytes SourceOf(PosixDescriptor owned, int fd) {
  OpenedBytes out;
  uint64_t size = 0;
  FileIdentity id;
  out.status = Examine(fd, &size, &id, &out.error);
  if (out.status != OpenStatus::Opened) return out;
  out.source.reset(new (std::nothrow) DescriptorSource(std::move(owned), fd, size, id));
  if (!out.source) out.status = OpenStatus::NoMemory;
  return out;
}

}  // namespace

OpenedBytes ByteSourceOfDescriptor(int fd) {
  return SourceOf(PosixDescriptor(), fd);
}

OpenedBytes ByteSourceOwningDescriptor(PosixDescriptor fd) {
  const int raw = fd.get();
  return SourceOf(std::move(fd), raw);
}

SourceFile ReadSourceDescriptor(int fd) {
  return ReadWholeSource(ByteSourceOfDescriptor(fd), SIZE_MAX / 2);
}

}  // namespace vantorico

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <new>
#include <utility>

#include "base/heap.h"
#include "iconlib/source_descriptor.h"

namespace vantorico {
namespace {

class DescriptorView final : public FileView {
 public:
  DescriptorView(HeapBytes bytes, size_t size, const FileIdentity& id)
      : bytes_(std::move(bytes)), size_(size), identity_(id) {}
  ByteSpan bytes() const override { return ByteSpan(bytes_.get(), size_); }
  const FileIdentity& identity() const override { return identity_; }

 private:
  HeapBytes bytes_;
  size_t size_;
  FileIdentity identity_;
};

// Exactly count bytes from offset 0 by pread, so the descriptor's own
// position does not matter; false on an error or an early end (the file
// shrank while it was read).
bool ReadAll(int fd, uint8_t* out, size_t count, SystemError* error) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = pread(fd, out + done, count - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *error = n < 0 ? LastSystemError() : SystemError{};
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

SourceFile ReadSourceDescriptor(int fd) {
  SourceFile out;
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    out.status = fd < 0 ? OpenStatus::Missing : OpenStatus::ReadFailed;
    out.error = fd < 0 ? SystemErrorOf(EBADF) : LastSystemError();
    return out;
  }
  if (!S_ISREG(st.st_mode)) {
    out.status = OpenStatus::NotRegularFile;
    return out;
  }
  if (static_cast<uint64_t>(st.st_size) > SIZE_MAX / 2) {
    out.status = OpenStatus::NoMemory;
    return out;
  }
  const auto size = static_cast<size_t>(st.st_size);
  HeapBytes bytes = HeapTryAllocateBytes(size ? size : 1);
  if (!bytes) {
    out.status = OpenStatus::NoMemory;
    return out;
  }
  if (!ReadAll(fd, bytes.get(), size, &out.error)) {
    out.status = OpenStatus::ReadFailed;
    return out;
  }
  const FileIdentity id{true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  auto* view = new (std::nothrow) DescriptorView(std::move(bytes), size, id);
  if (!view) {
    out.status = OpenStatus::NoMemory;
    return out;
  }
  out.view.reset(view);
  out.status = OpenStatus::Opened;
  return out;
}

}  // namespace vantorico

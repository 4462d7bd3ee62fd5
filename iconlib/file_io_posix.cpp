#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "iconlib/file_io.h"

namespace vantorico {
namespace {

// POSIX has no share modes; the descriptor is the only thing held.
class PosixInputFile final : public InputFile {
 public:
  PosixInputFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ~PosixInputFile() override { close(fd_); }
  bool Read(void* buffer, uint32_t count, uint32_t* got) override {
    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < count) {
      const ssize_t n = read(fd_, out + done, count - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      done += static_cast<uint32_t>(n);
    }
    *got = done;
    return true;
  }
  bool Seek(uint32_t offset) override {
    return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) != static_cast<off_t>(-1);
  }
  uint64_t Size() const override { return size_; }

 private:
  int fd_;
  uint64_t size_;
};

class PosixOutputFile final : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override { close(fd_); }
  bool Write(const void* bytes, uint32_t count) override {
    if (count == 0) return true;
    ssize_t n;
    do {
      n = write(fd_, bytes, count);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(count);
  }

 private:
  int fd_;
};

class MappedFileView final : public FileView {
 public:
  MappedFileView(void* base, size_t size) : base_(base), size_(size) {}
  ~MappedFileView() override {
    if (base_) munmap(base_, size_);
  }
  ByteSpan bytes() const override {
    return ByteSpan(static_cast<const uint8_t*>(base_), base_ ? size_ : 0);
  }

 private:
  void* base_;
  size_t size_;
};

int OpenRegularForReading(const char* path, struct stat* st) {
  if (!path) return -1;
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const char* path) {
  struct stat st;
  const int fd = OpenRegularForReading(path, &st);
  if (fd < 0) return nullptr;
  auto* file = new (std::nothrow) PosixInputFile(fd, static_cast<uint64_t>(st.st_size));
  if (!file) close(fd);
  return std::unique_ptr<InputFile>(file);
}

std::unique_ptr<OutputFile> CreateOutputFile(const char* path) {
  if (!path) return nullptr;
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  auto* file = new (std::nothrow) PosixOutputFile(fd);
  if (!file) close(fd);
  return std::unique_ptr<OutputFile>(file);
}

std::unique_ptr<FileView> OpenFileView(const char* path) {
  struct stat st;
  const int fd = OpenRegularForReading(path, &st);
  if (fd < 0) return nullptr;
  const auto size = static_cast<size_t>(st.st_size);
  void* base = nullptr;
  if (size > 0) {
    base = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (base == MAP_FAILED) base = nullptr;
  }
  close(fd);  // the mapping keeps the file's pages
  if (size > 0 && !base) return nullptr;
  auto* view = new (std::nothrow) MappedFileView(base, size);
  if (!view && base) munmap(base, size);
  return std::unique_ptr<FileView>(view);
}

}  // namespace vantorico

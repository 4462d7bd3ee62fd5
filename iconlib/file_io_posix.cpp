#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <new>
#include <string>

#include "base/heap.h"
#include "iconlib/file_io.h"

namespace vantorico {
namespace {

// A temporary name that another run may hold is simply tried again.
constexpr int kTemporaryNameAttempts = 100;

class HeapFileView final : public FileView {
 public:
  HeapFileView(uint8_t* bytes, size_t size, const FileIdentity& id)
      : bytes_(bytes), size_(size), identity_(id) {}
  ~HeapFileView() override { HeapRelease(bytes_); }
  ByteSpan bytes() const override { return ByteSpan(bytes_, size_); }
  const FileIdentity& identity() const override { return identity_; }

 private:
  uint8_t* bytes_;
  size_t size_;
  FileIdentity identity_;
};

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }
  // Closes now, so that a late write error is seen.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

FileIdentity IdentityOf(const struct stat& st) {
  return FileIdentity{true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

// Reads exactly count bytes from offset; false on an error or an early end
// (the file shrank while it was read).
bool ReadFully(int fd, uint8_t* out, size_t count, SystemError* error) {
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

bool WriteFully(int fd, const uint8_t* bytes, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = write(fd, bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryName(const std::string& path, int attempt) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOf(path);
  return (folder == "/" ? std::string() : folder) + "/." + LeafOf(path) + "." +
         std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
         std::to_string(attempt) + ".tmp";
}

}  // namespace

bool SameFile(const FileIdentity& a, const FileIdentity& b) {
  return a.known && b.known && a.device == b.device && a.index == b.index;
}

bool StampOfPath(const char* path, FileStamp* stamp) {
  struct stat st;
  if (!path || stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  stamp->size = static_cast<uint64_t>(st.st_size);
  stamp->modified = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

bool IdentityOfPath(const char* path, FileIdentity* identity) {
  struct stat st;
  if (!path || stat(path, &st) != 0) return false;
  *identity = IdentityOf(st);
  return true;
}

SourceFile ReadSourceFile(const char* path) {
  SourceFile out;
  if (!path || !*path) return out;
  // O_NONBLOCK: opening a FIFO must not wait for a writer; the type check
  // below refuses it before any read.
  Descriptor fd(open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (fd.get() < 0) {
    out.error = LastSystemError();
    return out;
  }
  struct stat st;
  if (fstat(fd.get(), &st) != 0) {
    out.status = OpenStatus::ReadFailed;
    out.error = LastSystemError();
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
  auto* bytes = static_cast<uint8_t*>(HeapTryAllocate(size ? size : 1));
  if (!bytes) {
    out.status = OpenStatus::NoMemory;
    return out;
  }
  if (!ReadFully(fd.get(), bytes, size, &out.error)) {
    HeapRelease(bytes);
    out.status = OpenStatus::ReadFailed;
    return out;
  }
  auto* view = new (std::nothrow) HeapFileView(bytes, size, IdentityOf(st));
  if (!view) {
    HeapRelease(bytes);
    out.status = OpenStatus::NoMemory;
    return out;
  }
  out.view.reset(view);
  out.status = OpenStatus::Opened;
  return out;
}

WriteOutcome ReplaceFileWhole(const char* path, ByteSpan bytes, const FileIdentity* source) {
  WriteOutcome out;
  if (!path || !*path) {
    out.error = SystemErrorOf(ENOENT);
    return out;
  }
  FileIdentity existing;
  if (source && IdentityOfPath(path, &existing) && SameFile(existing, *source)) {
    out.status = WriteOutcome::SameAsSource;
    return out;
  }
  const std::string target = path;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && fd < 0; ++attempt) {
    temporary = TemporaryName(target, attempt);
    // Exclusive and never through a link: a name planted by someone else
    // makes this attempt fail instead of redirecting the write.
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    out.error = LastSystemError();
    return out;
  }
  Descriptor file(fd);
  const bool written = WriteFully(fd, bytes.data(), bytes.size());
  SystemError error = written ? SystemError{} : LastSystemError();
  const bool closed = file.Close();
  if (written && !closed) error = LastSystemError();
  if (written && closed && rename(temporary.c_str(), path) == 0) {
    out.status = WriteOutcome::Written;
    return out;
  }
  if (written && closed) error = LastSystemError();
  unlink(temporary.c_str());
  out.error = error;
  return out;
}

}  // namespace vantorico

#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <new>
#include <string>

#include "base/posix_descriptor.h"
#include "iconlib/formats/byte_source.h"
#include "iconlib/platform/file_io.h"
#include "iconlib/platform/file_io_posix.h"
#include "iconlib/platform/source_descriptor.h"

namespace vantorico {
namespace {

// A temporary name that another run may hold is simply tried again.
constexpr int kTemporaryNameAttempts = 100;

FileIdentity IdentityOf(const struct stat& st) {
  return FileIdentity{true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
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

// The process id temporary names carry, asked once (a system call per
// output file otherwise); a child made by fork asks again.
std::atomic<pid_t> g_processId{0};

pid_t ProcessId() {
  pid_t pid = g_processId.load();
  if (pid != 0) return pid;
  static const bool forgottenOnFork =
      pthread_atfork(nullptr, nullptr, [] { g_processId.store(0); }) == 0;
  pid = getpid();
  if (forgottenOnFork) g_processId.store(pid);
  return pid;
}

std::string TemporaryName(const std::string& path, int attempt) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = FolderOf(path);
  return (folder == "/" ? std::string() : folder) + "/." + LeafOf(path) + "." +
         std::to_string(ProcessId()) + "-" + std::to_string(counter++) + "-" +
         std::to_string(attempt) + ".tmp";
}

}  // namespace

int OpenAnyLength(const char* path, int flags) {
  const int direct = open(path, flags, 0666);
  if (direct >= 0 || errno != ENAMETOOLONG) return direct;
  const std::string whole = path;
  size_t start = 0;
  int dir = AT_FDCWD;
  if (!whole.empty() && whole[0] == '/') {
    dir = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return -1;
    start = 1;
  }
  for (;;) {
    while (start < whole.size() && whole[start] == '/') ++start;
    const size_t slash = whole.find('/', start);
    const bool last =
        slash == std::string::npos || whole.find_first_not_of('/', slash) == std::string::npos;
    const std::string part =
        whole.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
    const int next = last ? openat(dir, part.c_str(), flags, 0666)
                          : openat(dir, part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int saved = errno;
    if (dir != AT_FDCWD) close(dir);
    errno = saved;
    if (next < 0 || last) return next;
    dir = next;
    start = slash + 1;
  }
}

std::string EnginePathOfCodePageText(const char* text) {
  return text ? text : "";
}

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

namespace {

// O_NONBLOCK: opening a FIFO must not wait for a writer; the type check
// refuses it before any byte is read.
PosixDescriptor OpenSource(const char* path, SystemError* error) {
  PosixDescriptor fd(OpenAnyLength(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd) *error = LastSystemError();
  return fd;
}

}  // namespace

SourceFile ReadSourceFile(const char* path) {
  SourceFile out;
  if (!path || !*path) return out;
  PosixDescriptor fd = OpenSource(path, &out.error);
  if (!fd) return out;
  return ReadSourceDescriptor(fd.get());
}

OpenedBytes OpenByteSource(const char* path) {
  OpenedBytes out;
  if (!path || !*path) return out;
  PosixDescriptor fd = OpenSource(path, &out.error);
  if (!fd) return out;
  return ByteSourceOwningDescriptor(std::move(fd));
}

namespace {

// What has an output's name before the output is moved there.
struct NameHolder {
  bool present = false;
  bool replaceable = true;  // a regular file or a link (the link is replaced, not followed)
  bool keepMode = false;
  mode_t mode = 0;
  int refusal = 0;  // the errno a refusal reports
  bool link = false;
  FileIdentity identity;  // of what has the name, when it is no link
};

NameHolder HolderOf(const char* path) {
  NameHolder h;
  struct stat st;
  if (lstat(path, &st) != 0) return h;
  h.present = true;
  h.link = S_ISLNK(st.st_mode);
  if (!h.link) h.identity = IdentityOf(st);
  if (S_ISREG(st.st_mode)) {
    h.keepMode = true;
    // The permission bits only: set-user-ID and the like are not an icon's to carry.
    h.mode = st.st_mode & 0777;
  } else if (!S_ISLNK(st.st_mode)) {
    h.replaceable = false;
    h.refusal = S_ISDIR(st.st_mode) ? EISDIR : EEXIST;
  }
  return h;
}

WriteOutcome Refusal(WriteOutcome::Status status, int code) {
  WriteOutcome out;
  out.status = status;
  out.error = SystemErrorOf(code);
  return out;
}

// The bytes in a new temporary file beside target, closed. mode, when not
// null, is given to it before the first byte.
bool Stage(const std::string& target, ByteSpan bytes, const mode_t* mode, std::string* temporary,
           SystemError* error) {
  int fd = -1;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && fd < 0; ++attempt) {
    *temporary = TemporaryName(target, attempt);
    // Exclusive and never through a link: a name planted by someone else
    // makes this attempt fail instead of redirecting the write.
    fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    *error = LastSystemError();
    return false;
  }
  PosixDescriptor file(fd);
  bool ok = !mode || fchmod(fd, *mode) == 0;
  ok = ok && WriteFully(fd, bytes.data(), bytes.size());
  *error = ok ? SystemError{} : LastSystemError();
  const bool closed = file.Close();
  if (ok && !closed) *error = LastSystemError();
  if (ok && closed) return true;
  unlink(temporary->c_str());
  return false;
}

// Unsupported by the file system (or the kernel), as opposed to refused.
bool Unsupported(int code) {
  return code == EINVAL || code == ENOSYS || code == ENOTSUP || code == EOPNOTSUPP ||
         code == EPERM || code == EMLINK;
}

// Writes the bytes straight into a new file at path, created exclusively:
// for file systems that can neither rename without replacing nor link. The
// name is taken in one step, so nothing is replaced; the file can be seen
// while it is written, and a failed write removes it again.
WriteOutcome CreateInPlace(const char* path, ByteSpan bytes) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    return errno == EEXIST ? Refusal(WriteOutcome::Exists, EEXIST)
                           : Refusal(WriteOutcome::Failed, errno);
  }
  PosixDescriptor file(fd);
  const bool written = WriteFully(fd, bytes.data(), bytes.size());
  SystemError error = written ? SystemError{} : LastSystemError();
  const bool closed = file.Close();
  if (written && closed) return WriteOutcome{WriteOutcome::Written, SystemError{}};
  if (written) error = LastSystemError();
  unlink(path);
  WriteOutcome out;
  out.error = error;
  return out;
}

}  // namespace

WriteOutcome ReplaceFileWhole(const char* path, ByteSpan bytes, const FileIdentity* source) {
  WriteOutcome out;
  if (!path || !*path) {
    out.error = SystemErrorOf(ENOENT);
    return out;
  }
  const NameHolder before = HolderOf(path);
  // The file at the name, or at the end of the link there, must not be the
  // source: the one look at the name serves unless it is a link.
  FileIdentity existing = before.identity;
  if (source && before.present && (!before.link || IdentityOfPath(path, &existing)) &&
      SameFile(existing, *source)) {
    out.status = WriteOutcome::SameAsSource;
    return out;
  }
  if (!before.replaceable) return Refusal(WriteOutcome::NotRegularFile, before.refusal);
  std::string temporary;
  if (!Stage(path, bytes, before.keepMode ? &before.mode : nullptr, &temporary, &out.error)) {
    return out;
  }
  // A name nothing had is taken by a move that never replaces: no second
  // look, and nothing that came to the name meanwhile is moved over. Only
  // then (or where the file system cannot move so) is the name asked again.
  if (!before.present) {
    if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path, RENAME_NOREPLACE) == 0) {
      out.status = WriteOutcome::Written;
      return out;
    }
    if (errno != EEXIST && !Unsupported(errno)) {
      out.error = LastSystemError();
      unlink(temporary.c_str());
      return out;
    }
  }
  // Asked again right before the move: what came to the name meanwhile is
  // refused too. rename has no form that replaces regular files only.
  const NameHolder now = HolderOf(path);
  if (!now.replaceable) {
    unlink(temporary.c_str());
    return Refusal(WriteOutcome::NotRegularFile, now.refusal);
  }
  if (rename(temporary.c_str(), path) == 0) {
    out.status = WriteOutcome::Written;
    return out;
  }
  out.error = LastSystemError();
  unlink(temporary.c_str());
  return out;
}

WriteOutcome CreateFileWhole(const char* path, ByteSpan bytes) {
  WriteOutcome out;
  if (!path || !*path) {
    out.error = SystemErrorOf(ENOENT);
    return out;
  }
  const NameHolder before = HolderOf(path);
  if (before.present) {
    return before.replaceable ? Refusal(WriteOutcome::Exists, EEXIST)
                              : Refusal(WriteOutcome::NotRegularFile, before.refusal);
  }
  std::string temporary;
  if (!Stage(path, bytes, nullptr, &temporary, &out.error)) return out;
  // The move that never replaces: renameat2's RENAME_NOREPLACE, else a hard
  // link (which fails on an existing name) and the temporary name removed.
  int code = 0;
  if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path, RENAME_NOREPLACE) == 0) {
    out.status = WriteOutcome::Written;
    return out;
  }
  code = errno;
  if (Unsupported(code)) {
    if (link(temporary.c_str(), path) == 0) {
      unlink(temporary.c_str());
      out.status = WriteOutcome::Written;
      return out;
    }
    code = errno;
  }
  unlink(temporary.c_str());
  if (code == EEXIST) {
    const NameHolder holder = HolderOf(path);
    return holder.replaceable ? Refusal(WriteOutcome::Exists, EEXIST)
                              : Refusal(WriteOutcome::NotRegularFile, holder.refusal);
  }
  if (Unsupported(code)) return CreateInPlace(path, bytes);
  out.error = SystemErrorOf(code);
  return out;
}

}  // namespace vantorico

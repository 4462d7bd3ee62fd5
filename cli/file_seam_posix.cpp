#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "cli/file_seam.h"
#include "iconlib/formats/deadline.h"
#include "iconlib/platform/file_io_posix.h"
#include "iconlib/formats/language_choice.h"

namespace vantorico {
namespace {

PathType TypeOfMode(mode_t mode) {
  if (S_ISREG(mode)) return PathType::File;
  if (S_ISDIR(mode)) return PathType::Directory;
  return PathType::Other;
}

std::string Joined(const std::string& dir, const std::string& leaf) {
  return dir + (dir.empty() || dir.back() == '/' ? "" : "/") + leaf;
}

WalkItem Unreached(const std::string& path, const std::string& name, bool folder, int code) {
  WalkItem item;
  item.path = path;
  item.name = name;
  item.reached = false;
  item.folder = folder;
  item.error = SystemErrorOf(code);
  return item;
}

// Walks the folder open at fd (which it closes), named path.
void WalkOpen(int fd, const std::string& path, bool recursive, std::vector<WalkItem>* items) {
  DIR* dir = fdopendir(fd);
  if (!dir) {
    const int code = errno;
    close(fd);
    items->push_back(Unreached(path, std::string(), true, code));
    return;
  }
  // Each name with the type the folder gives it (DT_UNKNOWN where it gives none).
  std::vector<std::pair<std::string, unsigned char>> names;
  errno = 0;
  while (const dirent* d = readdir(dir)) {
    const std::string name = d->d_name;
    if (name != "." && name != "..") names.emplace_back(name, d->d_type);
    errno = 0;
  }
  if (errno != 0) items->push_back(Unreached(path, std::string(), true, errno));
  std::sort(names.begin(), names.end());
  items->reserve(items->size() + names.size());
  const int at = dirfd(dir);
  // Once one name could be looked at, the folder can be searched: a name the
  // folder calls a regular file is one without a stat of its own (one system
  // call per file of a large folder, on the run's one thread).
  bool searchable = false;
  for (const auto& entry : names) {
    const std::string& name = entry.first;
    const std::string full = Joined(path, name);
    if (searchable && entry.second == DT_REG) {
      items->push_back(WalkItem{full, name, true, false, SystemError{}});
      continue;
    }
    struct stat st;
    if (fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      // Read permission without search permission: the names, but nothing of them.
      items->push_back(Unreached(full, name, false, errno));
      continue;
    }
    searchable = true;
    if (S_ISLNK(st.st_mode)) {
      // A link to a file is a file to read; a link to a folder is not followed.
      struct stat target;
      if (fstatat(at, name.c_str(), &target, 0) == 0 && S_ISREG(target.st_mode)) {
        items->push_back(WalkItem{full, name, true, false, SystemError{}});
      }
      continue;
    }
    if (S_ISREG(st.st_mode)) {
      items->push_back(WalkItem{full, name, true, false, SystemError{}});
    } else if (S_ISDIR(st.st_mode) && recursive) {
      const int sub = openat(at, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (sub < 0) {
        items->push_back(Unreached(full, name, true, errno));
      } else {
        WalkOpen(sub, full, recursive, items);
      }
    }
  }
  closedir(dir);
}

}  // namespace

PathType TypeOfPath(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) == 0) return TypeOfMode(st.st_mode);
  if (errno != ENAMETOOLONG) return PathType::None;
  const int fd = OpenAnyLength(path.c_str(), O_PATH | O_CLOEXEC);
  if (fd < 0) return PathType::None;
  const bool known = fstat(fd, &st) == 0;
  close(fd);
  return known ? TypeOfMode(st.st_mode) : PathType::None;
}

uint64_t SizeOfFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size)
                                                             : 0;
}

bool MakeFolders(const std::string& path, SystemError* error) {
  // Mostly the folder is there already: one look, not one per part.
  if (TypeOfPath(path) == PathType::Directory) return true;
  for (size_t end = 1; end <= path.size(); ++end) {
    if (end < path.size() && path[end] != '/') continue;
    const std::string part = path.substr(0, end);
    if (part.back() == '/' || TypeOfPath(part) == PathType::Directory) continue;
    if (mkdir(part.c_str(), 0777) != 0 &&
        !(errno == EEXIST && TypeOfPath(part) == PathType::Directory)) {
      *error = LastSystemError();
      return false;
    }
  }
  return true;
}

char PathSeparator() {
  return '/';
}

bool IsSeparator(char c) {
  return c == '/';
}

void WalkFolder(const std::string& root, bool recursive, std::vector<WalkItem>* items) {
  const int fd = OpenAnyLength(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    items->push_back(Unreached(root, std::string(), true, errno));
    return;
  }
  WalkOpen(fd, root, recursive, items);
}

std::string RealFolderPath(const std::string& path) {
  char* real = realpath(path.empty() ? "." : path.c_str(), nullptr);
  if (!real) return std::string();
  std::string out = real;
  std::free(real);
  return out;
}

bool IsFolderNotLink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

OpenedBytes OpenSourceBytes(const std::string& path) {
  return OpenByteSource(path.c_str());
}

StandardInputRead ReadFromStandardInput(uint8_t* buffer, size_t size) {
  using Status = StandardInputRead::Status;
  // Short waits, so the deadline is seen soon after it passes.
  constexpr int kWaitMs = 50;
  for (;;) {
    if (PastDeadline()) return {Status::TimedOut, 0};
    pollfd in{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&in, 1, kWaitMs);
    if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
    if (ready < 0) return {Status::Failed, 0};
    const ssize_t got = read(STDIN_FILENO, buffer, std::min<size_t>(size, SSIZE_MAX));
    if (got > 0) return {Status::Bytes, static_cast<size_t>(got)};
    if (got == 0) return {Status::End, 0};
    if (errno != EINTR && errno != EAGAIN) return {Status::Failed, 0};
  }
}

SourceFile ReadSource(const std::string& path) {
  return ReadSourceFile(path.c_str());
}

WriteOutcome WriteOutputWhole(const std::string& path, ByteSpan bytes, const FileIdentity* source) {
  return ReplaceFileWhole(path.c_str(), bytes, source);
}

WriteOutcome CreateOutputWhole(const std::string& path, ByteSpan bytes) {
  return CreateFileWhole(path.c_str(), bytes);
}

std::string ErrorText(const SystemError& error) {
  return SystemErrorText(error);
}

uint16_t UserLanguageOfSystem() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value && *value) return LanguageOfLocaleName(value);
  }
  return 0;
}

}  // namespace vantorico

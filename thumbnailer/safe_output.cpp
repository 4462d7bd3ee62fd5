#include "thumbnailer/safe_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace vantorico {
namespace {

constexpr int kNameAttempts = 16;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool Fail(std::string* error, const std::string& what) {
  *error = what + ": " + std::strerror(errno);
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string* error) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof(suffix), "%016llx", static_cast<unsigned long long>(random()));
    temp = FolderOf(path) + "/.vantorico-thumbnail-" + suffix + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EEXIST) return Fail(error, "cannot create " + temp);
  }
  if (fd < 0) return Fail(error, "cannot create a temporary file beside " + path);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Fail(error, "cannot write " + temp);
      ::close(fd);
      ::unlink(temp.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    Fail(error, "cannot write " + temp);
    ::unlink(temp.c_str());
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    Fail(error, "cannot rename " + temp + " to " + path);
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace vantorico

#include <sys/stat.h>

#include "cli/path_probe.h"

namespace vantorico {

bool IsDirectory(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

char PathSeparator() {
  return '/';
}

}  // namespace vantorico

#include <sys/stat.h>

#include "cli/path_probe.h"

namespace vantorico {

bool IsDirectory(const char* path) {
  struct stat st;
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const char* path) {
  return mkdir(path, 0777) == 0;
}

char PathSeparator() {
  return '/';
}

}  // namespace vantorico

#include <windows.h>

#include "cli/path_probe.h"

namespace vantorico {

bool IsDirectory(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const char* path) {
  return CreateDirectoryA(path, nullptr) != FALSE;
}

char PathSeparator() {
  return '\\';
}

}  // namespace vantorico

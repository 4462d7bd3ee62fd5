#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "cli/file_seam.h"
#include "iconlib/language_choice.h"

namespace vantorico {
namespace {

PathType TypeOfMode(mode_t mode) {
  if (S_ISREG(mode)) return PathType::File;
  if (S_ISDIR(mode)) return PathType::Directory;
  return PathType::Other;
}

}  // namespace

PathType TypeOfPath(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return PathType::None;
  return TypeOfMode(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
  return mkdir(path.c_str(), 0777) == 0;
}

char PathSeparator() {
  return '/';
}

bool IsSeparator(char c) {
  return c == '/';
}

bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries, SystemError* error) {
  entries->clear();
  DIR* dir = opendir(path.c_str());
  if (!dir) {
    *error = LastSystemError();
    return false;
  }
  errno = 0;
  while (const dirent* d = readdir(dir)) {
    const std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    struct stat st;
    const std::string full = path + (path.empty() || path.back() == '/' ? "" : "/") + name;
    FolderEntry e;
    e.name = name;
    if (lstat(full.c_str(), &st) == 0) {
      // A link to a file is a file to read; a link to a folder is not followed.
      e.type = S_ISLNK(st.st_mode)
                   ? (TypeOfPath(full) == PathType::File ? PathType::File : PathType::Other)
                   : TypeOfMode(st.st_mode);
    }
    entries->push_back(std::move(e));
  }
  closedir(dir);
  std::sort(entries->begin(), entries->end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return true;
}

SourceFile ReadSource(const std::string& path) {
  return ReadSourceFile(path.c_str());
}

WriteOutcome WriteOutputWhole(const std::string& path, ByteSpan bytes, const FileIdentity* source) {
  return ReplaceFileWhole(path.c_str(), bytes, source);
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

#include "cli/cli_paths.h"

#include "cli/file_seam.h"

namespace vantorico {

std::string Quote(const std::string& path) {
  return "'" + path + "'";
}

std::string BaseName(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && IsSeparator(path[end - 1])) --end;
  size_t start = end;
  while (start > 0 && !IsSeparator(path[start - 1])) --start;
  return path.substr(start, end - start);
}

std::string DirName(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return path.substr(0, end);
}

std::string Join(const std::string& dir, const std::string& leaf) {
  if (dir.empty() || IsSeparator(dir.back())) return dir + leaf;
  return dir + PathSeparator() + leaf;
}

}  // namespace vantorico

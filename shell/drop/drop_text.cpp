#include "shell/drop/drop_text.h"

#include "shell/drop/drop_constants.h"

namespace vantorico {

std::string BuildDropText(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return paths.front();
  std::string text;
  for (const std::string& path : paths) {
    text += path;
    text += kDropPathEnd;
  }
  return text;
}

}  // namespace vantorico

#include "runtime/dialog/filter_conversion.h"

#include <cstring>

#include "base/dbcs.h"
#include "runtime/dialog/common_dlg_constants.h"

namespace vantorico {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Length of text without its trailing blanks; the walk goes forward so that a
// second byte of a double-byte character is never taken for a blank.
size_t TrimmedLength(const std::string& text) {
  size_t end = 0;
  for (size_t i = 0; i < text.size(); i += CharLength(text.c_str(), i)) {
    if (!IsBlank(text[i])) end = i + CharLength(text.c_str(), i);
  }
  return end;
}

}  // namespace

std::string ConvertFilter(const char* filter) {
  std::string text = filter ? filter : "";
  text.resize(TrimmedLength(text));
  if (text.empty()) return text;
  const size_t endLength = std::strlen(kFilterEnd);
  if (text.size() < endLength || text.compare(text.size() - endLength, endLength, kFilterEnd) != 0)
    text += kFilterEnd;
  // Offsets are found on the NUL-terminated text before any byte changes.
  std::string converted = text;
  ForEachSingleByte(text.c_str(), kFilterSeparator, [&](size_t i) { converted[i] = '\0'; });
  return converted;
}

}  // namespace vantorico

#include "iconlib/command/extension_key.h"

#include <cstdint>
#include <cstring>

#include "base/dbcs.h"

namespace vantorico {

bool ExtensionKey(const char* path, char key[kExtensionKeyLength + 1]) {
  key[0] = '\0';
  if (!path) return true;
  const size_t length = std::strlen(path);
  const size_t start = length > kExtensionKeyLength ? length - kExtensionKeyLength : 0;
  // Walk by characters so a trail byte in the ASCII range is seen as part
  // of its double-byte character.
  bool ascii = true;
  for (size_t i = 0; i < length;) {
    const size_t step = CharLength(path, i);
    const bool in_key = i + step > start;
    if (in_key && (step > 1 || static_cast<uint8_t>(path[i]) >= 0x80)) ascii = false;
    i += step;
  }
  size_t n = 0;
  for (size_t i = start; i < length; ++i) key[n++] = AsciiToLower(path[i]);
  key[n] = '\0';
  return ascii;
}

bool HasExtensionKey(const char* path, const char* key) {
  char own[kExtensionKeyLength + 1];
  return ExtensionKey(path, own) && std::strcmp(own, key) == 0;
}

}  // namespace vantorico

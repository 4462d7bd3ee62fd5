#include "base/gbk.h"

namespace vantorico {

ptrdiff_t FindLastSingleByte(const char* text, char c) {
  ptrdiff_t found = -1;
  ForEachSingleByte(text, c, [&](size_t at) { found = static_cast<ptrdiff_t>(at); });
  return found;
}

}  // namespace vantorico

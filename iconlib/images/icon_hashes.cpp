#include "iconlib/images/icon_hashes.h"

namespace vantorico {

std::string DigestText(ByteSpan digest) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(digest.size() * 2);
  for (size_t i = 0; i < digest.size(); ++i) {
    out += kHex[digest.data()[i] >> 4];
    out += kHex[digest.data()[i] & 0xf];
  }
  return out;
}

}  // namespace vantorico

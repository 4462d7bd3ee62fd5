#include "runtime/core/texts.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/core/memory.h"

namespace vantorico {
namespace {

constexpr uint32_t kLowBits = 0x01010101u;
constexpr uint32_t kHighBits = 0x80808080u;

inline bool WordHasZeroByte(uint32_t w) {
  return ((w - kLowBits) & ~w & kHighBits) != 0;
}

}  // namespace

char* NewTextOfLength(const char* string, size_t length) {
  if (!string || length == 0) return nullptr;
  auto* text = static_cast<char*>(AllocateMemory(length + 1));
  std::memcpy(text, string, length);
  text[length] = '\0';
  return text;
}

char* NewText(const char* string) {
  if (!string || *string == '\0') return nullptr;
  return NewTextOfLength(string, TextLength(string));
}

// Aligned 32-bit loads never cross a page, so the scan may look at bytes after
// the terminator inside the last word; that is why it is kept out of the
// address sanitizer's view.
#if defined(__clang__) || defined(__GNUC__)
__attribute__((no_sanitize("address")))
#endif
size_t
TextLength(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (reinterpret_cast<uintptr_t>(p) % sizeof(uint32_t) != 0) {
    if (*p == '\0') return static_cast<size_t>(p - text);
    ++p;
  }
  for (;;) {
    uint32_t word;
    std::memcpy(&word, p, sizeof word);
    if (WordHasZeroByte(word)) break;
    p += sizeof word;
  }
  while (*p != '\0') ++p;
  return static_cast<size_t>(p - text);
}

char* ConcatTextArray(int count, const char* const* parts) {
  constexpr int kInlineParts = 16;
  size_t inline_lengths[kInlineParts];
  std::vector<size_t> more;
  size_t* lengths = inline_lengths;
  if (count > kInlineParts) {
    more.resize(static_cast<size_t>(count));
    lengths = more.data();
  }
  size_t total = 1;
  for (int i = 0; i < count; ++i) {
    lengths[i] = TextLength(parts[i]);
    total += lengths[i];
  }
  auto* text = static_cast<char*>(AllocateMemory(total));
  char* out = text;
  for (int i = 0; i < count; ++i) {
    if (lengths[i]) std::memcpy(out, parts[i], lengths[i]);
    out += lengths[i];
  }
  *out = '\0';
  return text;
}

}  // namespace vantorico

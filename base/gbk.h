#pragma once
// Rules of the ANSI double-byte code page (GBK, code page 936) that the
// portable code needs: which bytes start a two-byte character, so that a
// second byte of 0x5C ('\\') or 0x7C ('|') is never taken for a separator.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// GBK lead bytes are 0x81..0xFE; the byte after one belongs to the same character.
inline bool IsGbkLeadByte(uint8_t b) {
  return b >= 0x81 && b <= 0xFE;
}

// Length in bytes of the character that starts at text[i] (1 or 2); a lead byte
// right before the terminating NUL counts as one byte so no walk passes the end.
inline size_t GbkCharLength(const char* text, size_t i) {
  const auto b = static_cast<uint8_t>(text[i]);
  if (IsGbkLeadByte(b) && text[i + 1] != '\0') return 2;
  return 1;
}

// Offset of the last byte equal to c that stands as a character of its own
// (not as the second byte of a double-byte character), or -1.
ptrdiff_t FindLastSingleByte(const char* text, char c);

// Offsets of each byte equal to c that stands as a character of its own.
// Calls visit(offset) in order; a null text has none.
template <typename Visit>
void ForEachSingleByte(const char* text, char c, Visit visit) {
  if (!text) return;
  for (size_t i = 0; text[i] != '\0'; i += GbkCharLength(text, i)) {
    if (text[i] == c) visit(i);
  }
}

// ASCII lower-casing as the ANSI code page does it; bytes >= 0x80 are left alone.
inline char AsciiToLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace vantorico

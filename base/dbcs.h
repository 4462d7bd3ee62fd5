#pragma once
// Double-byte rules of the ANSI code page: which bytes start a two-byte
// character, so that a second byte of 0x5C ('\\') or 0x7C ('|') is never
// taken for a separator. The rules follow the system's ANSI code page (on
// Windows from GetCPInfo); the native build stands for code page 936 (GBK).
#include <cstddef>
#include <cstdint>

namespace vantorico {

class LeadBytes {
 public:
  // No lead bytes: a single-byte code page such as 1252.
  LeadBytes() = default;
  // The lead-byte ranges of a code page this build knows (932, 936, 949,
  // 950); every other code page has none.
  static LeadBytes ForCodePage(uint32_t codePage);
  // Marks first..last (inclusive) as lead bytes.
  void AddRange(uint8_t first, uint8_t last);
  bool IsLead(uint8_t b) const { return (bits_[b >> 3] >> (b & 7)) & 1; }

 private:
  uint8_t bits_[32] = {};
};

// The rules of the running process: the system's ANSI code page, read once.
const LeadBytes& ActiveLeadBytes();
// Tests stand in another code page; the system's is what holds otherwise.
void SetActiveLeadBytes(const LeadBytes& rules);
// The system's rules (GetCPInfo on Windows; code page 936 elsewhere).
LeadBytes SystemLeadBytes();

// Length in bytes of the character that starts at text[i] (1 or 2); a lead byte
// right before the terminating NUL counts as one byte so no walk passes the end.
inline size_t CharLength(const char* text, size_t i) {
  const auto b = static_cast<uint8_t>(text[i]);
  if (ActiveLeadBytes().IsLead(b) && text[i + 1] != '\0') return 2;
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
  for (size_t i = 0; text[i] != '\0'; i += CharLength(text, i)) {
    if (text[i] == c) visit(i);
  }
}

// ASCII lower-casing as the ANSI code page does it; bytes >= 0x80 are left alone.
inline char AsciiToLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace vantorico

#include "base/dbcs.h"

namespace vantorico {
namespace {

// Code pages with double-byte characters and their lead-byte ranges.
constexpr uint32_t kCodePageJapanese = 932;
constexpr uint32_t kCodePageSimplifiedChinese = 936;
constexpr uint32_t kCodePageKorean = 949;
constexpr uint32_t kCodePageTraditionalChinese = 950;
constexpr uint8_t kLeadFirst = 0x81;
constexpr uint8_t kLeadLast = 0xFE;
// Shift-JIS leaves 0xA0..0xDF to single-byte katakana.
constexpr uint8_t kShiftJisLowLast = 0x9F;
constexpr uint8_t kShiftJisHighFirst = 0xE0;
constexpr uint8_t kShiftJisHighLast = 0xFC;

struct ActiveRules {
  bool set = false;
  LeadBytes rules;
};

ActiveRules& Active() {
  static ActiveRules active;
  return active;
}

}  // namespace

LeadBytes LeadBytes::ForCodePage(uint32_t codePage) {
  LeadBytes rules;
  switch (codePage) {
    case kCodePageJapanese:
      rules.AddRange(kLeadFirst, kShiftJisLowLast);
      rules.AddRange(kShiftJisHighFirst, kShiftJisHighLast);
      break;
    case kCodePageSimplifiedChinese:
    case kCodePageKorean:
    case kCodePageTraditionalChinese:
      rules.AddRange(kLeadFirst, kLeadLast);
      break;
    default:
      break;
  }
  return rules;
}

void LeadBytes::AddRange(uint8_t first, uint8_t last) {
  for (unsigned b = first; b <= last; ++b) bits_[b >> 3] |= static_cast<uint8_t>(1u << (b & 7));
}

const LeadBytes& ActiveLeadBytes() {
  ActiveRules& active = Active();
  if (!active.set) {
    active.rules = SystemLeadBytes();
    active.set = true;
  }
  return active.rules;
}

void SetActiveLeadBytes(const LeadBytes& rules) {
  Active().rules = rules;
  Active().set = true;
}

ptrdiff_t FindLastSingleByte(const char* text, char c) {
  ptrdiff_t found = -1;
  ForEachSingleByte(text, c, [&](size_t at) { found = static_cast<ptrdiff_t>(at); });
  return found;
}

}  // namespace vantorico

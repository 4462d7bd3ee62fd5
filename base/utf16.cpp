#include "base/utf16.h"

#include <cstdint>

namespace vantorico {
namespace {

constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateLast = 0xDFFF;
constexpr char32_t kFirstSupplementary = 0x10000;
constexpr int kSurrogateShift = 10;
constexpr char32_t kSurrogatePayload = 0x3FF;

// The code point at text[at] and the bytes it takes. An ill-formed part gives
// U+FFFD and the length of its maximal subpart: the bytes up to the first one
// that cannot continue a well-formed sequence (at least the first byte).
char32_t DecodeUtf8(std::string_view text, size_t at, size_t* length) {
  const auto lead = static_cast<uint8_t>(text[at]);
  *length = 1;
  if (lead < 0x80) return lead;
  size_t trail = 0;
  char32_t point = 0;
  // The second byte's range narrows after E0, ED, F0 and F4: no overlongs, no
  // surrogates, nothing past U+10FFFF (the well-formed table of UTF-8).
  uint8_t low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    trail = 1;
    point = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    trail = 2;
    point = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    trail = 3;
    point = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacementCharacter;
  }
  for (size_t k = 0; k < trail; ++k) {
    if (at + *length >= text.size()) return kReplacementCharacter;
    const auto byte = static_cast<uint8_t>(text[at + *length]);
    if (byte < low || byte > high) return kReplacementCharacter;
    point = (point << 6) | (byte & 0x3F);
    ++*length;
    low = 0x80;
    high = 0xBF;
  }
  return point;
}

void AppendUtf8(char32_t point, std::string* out) {
  if (point < 0x80) {
    out->push_back(static_cast<char>(point));
  } else if (point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (point >> 6)));
    out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else if (point < kFirstSupplementary) {
    out->push_back(static_cast<char>(0xE0 | (point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (point >> 18)));
    out->push_back(static_cast<char>(0x80 | ((point >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (point & 0x3F)));
  }
}

template <typename Unit>
std::basic_string<Unit> ToUtf16(std::string_view utf8) {
  std::basic_string<Unit> out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    size_t length = 0;
    char32_t point = DecodeUtf8(utf8, at, &length);
    at += length;
    if (point < kFirstSupplementary) {
      out.push_back(static_cast<Unit>(point));
    } else {
      point -= kFirstSupplementary;
      out.push_back(static_cast<Unit>(kSurrogateFirst + (point >> kSurrogateShift)));
      out.push_back(static_cast<Unit>(kLowSurrogateFirst + (point & kSurrogatePayload)));
    }
  }
  return out;
}

template <typename Unit>
std::string ToUtf8(std::basic_string_view<Unit> utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t at = 0; at < utf16.size(); ++at) {
    const auto unit = static_cast<char32_t>(static_cast<uint16_t>(utf16[at]));
    char32_t point = unit;
    if (unit >= kSurrogateFirst && unit <= kSurrogateLast) {
      point = kReplacementCharacter;
      const bool high = unit < kLowSurrogateFirst;
      if (high && at + 1 < utf16.size()) {
        const auto next = static_cast<char32_t>(static_cast<uint16_t>(utf16[at + 1]));
        if (next >= kLowSurrogateFirst && next <= kSurrogateLast) {
          point = kFirstSupplementary + ((unit - kSurrogateFirst) << kSurrogateShift) +
                  (next - kLowSurrogateFirst);
          ++at;
        }
      }
    }
    AppendUtf8(point, &out);
  }
  return out;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  return ToUtf16<char16_t>(utf8);
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  return ToUtf8<char16_t>(utf16);
}

#if WCHAR_MAX <= 0xFFFF
std::wstring Utf8ToWide(std::string_view utf8) {
  return ToUtf16<wchar_t>(utf8);
}

std::string WideToUtf8(std::wstring_view wide) {
  return ToUtf8<wchar_t>(wide);
}
#endif

}  // namespace vantorico

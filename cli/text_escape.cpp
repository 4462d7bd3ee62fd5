#include "cli/text_escape.h"

#include <cstdint>
#include <string>

#include "base/number_text.h"

namespace vantorico {
namespace {

// Length of the valid UTF-8 sequence at s[i], or 0.
size_t Utf8Length(const std::string& s, size_t i) {
  const auto b = static_cast<uint8_t>(s[i]);
  size_t n;
  uint32_t cp;
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
    cp = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3;
    cp = b & 0x0F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
    cp = b & 0x07;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    const auto c = static_cast<uint8_t>(s[i + k]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    return 0;
  }
  return n;
}

// prefix, then value's digits in base, at least width of them.
void AppendEscape(const char* prefix, unsigned value, unsigned base, size_t width,
                  std::string* out) {
  *out += prefix;
  *out += DigitsText(value, base, width);
}

}  // namespace

std::string JsonString(const std::string& bytes) {
  std::string out = "\"";
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<uint8_t>(bytes[i]);
    const size_t n = Utf8Length(bytes, i);
    if (n == 0) {
      AppendEscape("\\udc", c, 16, 2, &out);
      ++i;
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      AppendEscape("\\u", c, 16, 4, &out);
      ++i;
    } else {
      out.append(bytes, i, n);
      i += n;
    }
  }
  return out + "\"";
}

std::string QuotedText(const std::string& bytes) {
  std::string out = "\"";
  for (const char ch : bytes) {
    const auto c = static_cast<uint8_t>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      AppendEscape("\\x", c, 16, 2, &out);
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string ShownText(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<uint8_t>(bytes[i]);
    const size_t n = Utf8Length(bytes, i);
    // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F in UTF-8.
    const bool c1 = n == 2 && c == 0xC2 && static_cast<uint8_t>(bytes[i + 1]) < 0xA0;
    if (n == 0 || c < 0x20 || c == 0x7F || c1) {
      const size_t count = c1 ? 2 : 1;
      for (size_t k = 0; k < count; ++k) {
        const auto b = static_cast<uint8_t>(bytes[i + k]);
        if (b == '\t') {
          out += "\\t";
        } else if (b == '\n') {
          out += "\\n";
        } else if (b == '\r') {
          out += "\\r";
        } else {
          AppendEscape("\\", b, 8, 3, &out);
        }
      }
      i += count;
    } else {
      out.append(bytes, i, n);
      i += n;
    }
  }
  return out;
}

}  // namespace vantorico

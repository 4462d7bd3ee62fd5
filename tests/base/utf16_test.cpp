#include "base/utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace vantorico {
namespace {

using std::string_literals::operator""s;

// The bytes of u8 literals are UTF-8 whatever the build's execution charset.
std::string Bytes(const char* utf8) {
  return std::string(utf8);
}

TEST(Utf16, WellFormedTextRoundTrips) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"", u""},
      {"C:\\x.exe", u"C:\\x.exe"},
      {Bytes(u8"Caf\u00E9 \u00A0"), u"Caf\u00E9 \u00A0"},
      {Bytes(u8"\u63D0\u53D6\u56FE\u6807"), u"\u63D0\u53D6\u56FE\u6807"},
      // Outside the basic plane: one four-byte sequence, one surrogate pair.
      {Bytes(u8"a\U0001D11Eb"), u"a\U0001D11Eb"},
      {Bytes(u8"\U0010FFFF"), u"\U0010FFFF"},
      // NUL is a character like any other.
      {"a\0b"s, u"a\0b"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
}

TEST(Utf16, EveryCodePointRoundTrips) {
  for (char32_t point = 0; point <= 0x10FFFF; ++point) {
    if (point >= 0xD800 && point <= 0xDFFF) continue;
    std::u16string one;
    if (point < 0x10000) {
      one.push_back(static_cast<char16_t>(point));
    } else {
      one.push_back(static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10)));
      one.push_back(static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF)));
    }
    const std::string utf8 = Utf16ToUtf8(one);
    ASSERT_EQ(utf8.size(), point < 0x80      ? 1u
                           : point < 0x800   ? 2u
                           : point < 0x10000 ? 3u
                                             : 4u)
        << std::hex << static_cast<uint32_t>(point);
    ASSERT_EQ(Utf8ToUtf16(utf8), one) << std::hex << static_cast<uint32_t>(point);
  }
}

TEST(Utf16, IllFormedUtf8BecomesOneReplacementPerMaximalPart) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"\x80", u"\uFFFD"},
      {"a\xBF\x80z", u"a\uFFFD\uFFFDz"},
      // Bytes that never start a sequence.
      {"\xC0\xAF", u"\uFFFD\uFFFD"},
      {"\xC1\xBF", u"\uFFFD\uFFFD"},
      {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xFE\xFF", u"\uFFFD\uFFFD"},
      // Overlong, surrogate and past U+10FFFF: the lead alone, then each byte.
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"\xF0\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      // Cut short: the well-formed start is one part.
      {"\xE2\x82", u"\uFFFD"},
      {"\xE2\x82"
       "A",
       u"\uFFFDA"},
      {"\xF0\x9F\x98"
       "A",
       u"\uFFFDA"},
      {"\xF0\x9F\x98\xE2\x82\xAC", u"\uFFFD\u20AC"},
      // A GBK text is not UTF-8.
      {"\xD6\xD0\xCE\xC4", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << testing::PrintToString(c.utf8);
  }
}

TEST(Utf16, LoneSurrogatesBecomeReplacements) {
  const std::string replacement = "\xEF\xBF\xBD";
  struct Case {
    std::u16string utf16;
    std::string utf8;
  };
  const Case cases[] = {
      {std::u16string(1, u'\xD800'), replacement},
      {std::u16string{u'\xDC00', u'a'}, replacement + "a"},
      {std::u16string{u'a', u'\xDBFF'}, "a" + replacement},
      // A high surrogate followed by another high one: the first stands alone.
      {std::u16string{u'\xD800', u'\xD800', u'\xDC00'}, replacement + "\xF0\x90\x80\x80"},
      {std::u16string{u'\xDC00', u'\xD800'}, replacement + replacement},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
  }
}

}  // namespace
}  // namespace vantorico

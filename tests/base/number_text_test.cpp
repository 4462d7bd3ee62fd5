#include "base/number_text.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vantorico {
namespace {

// The forms the program prints, each against what printf gives for it: the
// padding, a value wider than its width, zero, and the largest value.
TEST(NumberText, DigitsAsPrintfGivesThem) {
  const struct {
    uint64_t value;
    unsigned base;
    size_t width;
    bool upper;
    const char* format;
  } cases[] = {
      {0x409, 16, 4, true, "%04llX"},   {0x12345, 16, 4, true, "%04llX"},
      {0, 16, 16, false, "%016llx"},    {UINT64_MAX, 16, 16, false, "%016llx"},
      {0xdc, 16, 2, false, "%02llx"},   {7, 16, 2, false, "%02llx"},
      {0xabcd, 16, 4, false, "%04llx"}, {8, 8, 3, false, "%03llo"},
      {0377, 8, 3, false, "%03llo"},    {0, 8, 3, false, "%03llo"},
      {1234567, 10, 1, false, "%llu"},  {0, 10, 1, false, "%llu"},
  };
  for (const auto& c : cases) {
    char expected[32];
    std::snprintf(expected, sizeof expected, c.format, static_cast<unsigned long long>(c.value));
    EXPECT_EQ(DigitsText(c.value, c.base, c.width, c.upper), expected) << c.format;
  }
}

}  // namespace
}  // namespace vantorico

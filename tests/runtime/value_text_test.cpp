#include "runtime/core/value_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/core/command_call.h"
#include "runtime/core/core_commands.h"
#include "runtime/core/memory.h"

namespace vantorico {
namespace {

std::string TakeText(const ArgSlot& slot) {
  const char* text = SlotText(slot);
  std::string s = text ? text : "<null>";
  FreeMemory(text);
  return s;
}

std::string Convert(ArgSlot slot) {
  return TakeText(CallCoreCommand(ToText, 1, slot));
}

ArgSlot DoubleSlot(double d, uint32_t type) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), type};
}

TEST(ToText, IntegersInPlainDecimal) {
  EXPECT_EQ(Convert(IntSlot(0)), "0");
  EXPECT_EQ(Convert(IntSlot(1000)), "1000");
  EXPECT_EQ(Convert(IntSlot(-5)), "-5");
  EXPECT_EQ(Convert(IntSlot(2147483647)), "2147483647");
  EXPECT_EQ(Convert(IntSlot(INT32_MIN)), "-2147483648");
  EXPECT_EQ(Convert(ArgSlot{0x1FF, 0, kTypeByte}), "255");
  EXPECT_EQ(Convert(ArgSlot{0xFFFF, 0, kTypeShort}), "-1");
  EXPECT_EQ(Convert(ArgSlot{0, 0x80000000u, kTypeLong}), "-9223372036854775808");
  EXPECT_EQ(Convert(ArgSlot{0x2540BE400ull & 0xFFFFFFFF, 2, kTypeLong}), "10000000000");
}

TEST(ToText, FloatsBoolsAndOtherTypes) {
  float f = 0.1f;
  uint32_t fbits;
  std::memcpy(&fbits, &f, 4);
  EXPECT_EQ(Convert(ArgSlot{fbits, 0, kTypeFloat}), "0.1");
  EXPECT_EQ(Convert(DoubleSlot(1.0 / 3, kTypeDouble)), "0.3333333333333");
  EXPECT_EQ(Convert(BoolSlot(true)), "真");
  EXPECT_EQ(Convert(ArgSlot{7, 0, kTypeBool}), "真");
  EXPECT_EQ(Convert(BoolSlot(false)), "假");
  EXPECT_EQ(Convert(OmittedSlot()), "<null>");
  EXPECT_EQ(Convert(ArgSlot{1, 0, 0x10001}), "<null>");
  EXPECT_EQ(Convert(DoubleSlot(45658.5, kTypeDateTime)), "2025年1月1日12时0分0秒");
}

TEST(ToText, TextIsCopied) {
  const char source[] = "路径";
  ArgSlot result = CallCoreCommand(ToText, 1, TextSlot(source));
  EXPECT_NE(SlotText(result), source);
  EXPECT_EQ(TakeText(result), "路径");
  EXPECT_EQ(Convert(TextSlot(nullptr)), "<null>");
}

TEST(ToText, ByteSetsAndArraysStopAtTheFirstNul) {
  struct {
    int32_t dims = 1;
    int32_t length = 6;
    char bytes[6] = {'a', 'b', 'c', '\0', 'd', 'e'};
  } byte_set;
  EXPECT_EQ(Convert(PointerSlot(&byte_set, kTypeByteSet)), "abc");
  byte_set.length = 2;
  EXPECT_EQ(Convert(PointerSlot(&byte_set, kTypeByteSet)), "ab");
  byte_set.length = 0;
  EXPECT_EQ(Convert(PointerSlot(&byte_set, kTypeByteSet)), "<null>");

  struct {
    int32_t dims = 1;
    int32_t count = 2;
    int16_t values[2] = {0x6968, 0x006A};  // "hij" then NUL
  } shorts;
  EXPECT_EQ(Convert(PointerSlot(&shorts, kTypeShort | kTypeArrayFlag)), "hij");

  struct {
    int32_t dims = 1;
    int32_t count = 1;
    const char* texts[1] = {"x"};
  } texts;
  EXPECT_EQ(Convert(PointerSlot(&texts, kTypeText | kTypeArrayFlag)), "<null>");
}

}  // namespace
}  // namespace vantorico

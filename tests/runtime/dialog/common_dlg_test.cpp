#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/memory.h"
#include "runtime/dialog/common_dlg_settings.h"
#include "runtime/dialog/dialog_flags.h"
#include "runtime/dialog/filter_conversion.h"

namespace vantorico {
namespace {

using std::string_literals::operator""s;

// The settings the tool's layout stores for its one file dialog.
void ApplyToolSettings(CommonDlgSettings* s) {
  s->dialogType = kDialogOpenFile;
  s->createPrompt = 0;
  s->fileMustExist = 1;
  s->overwritePrompt = 1;
  s->pathMustExist = 1;
  s->keepCurrentDirectory = 0;
  s->filter = "应用程序(*.exe)|*.exe|所有文件|*.*";
}

TEST(CommonDlgFlags, ToolSettingsAndEachSwitch) {
  CommonDlgSettings s;
  ApplyToolSettings(&s);
  EXPECT_EQ(CommonDlgFlags(s), 0x1806u);
  EXPECT_EQ(OpenFileNameFlags(s), 0x1806u | 0x80000u | 0x800000u);

  struct Case {
    int32_t CommonDlgSettings::*field;
    uint32_t bit;
  };
  const Case cases[] = {
      {&CommonDlgSettings::createPrompt, 0x2000},      {&CommonDlgSettings::fileMustExist, 0x1000},
      {&CommonDlgSettings::overwritePrompt, 0x2},      {&CommonDlgSettings::pathMustExist, 0x800},
      {&CommonDlgSettings::keepCurrentDirectory, 0x8},
  };
  for (const Case& c : cases) {
    CommonDlgSettings one;
    one.fileMustExist = one.overwritePrompt = one.pathMustExist = 0;
    EXPECT_EQ(CommonDlgFlags(one), 0x4u);
    one.*c.field = 1;
    EXPECT_EQ(CommonDlgFlags(one), 0x4u | c.bit);
    // Only exactly 1 switches a flag on.
    one.*c.field = 2;
    EXPECT_EQ(CommonDlgFlags(one), 0x4u);
    one.*c.field = -1;
    EXPECT_EQ(CommonDlgFlags(one), 0x4u);
  }
}

TEST(CommonDlgFlags, FreshUnitDefaults) {
  CommonDlgSettings s;
  EXPECT_EQ(CommonDlgFlags(s), 0x1806u);
  EXPECT_EQ(s.dialogType, 0);
  EXPECT_TRUE(s.filter.empty());
  EXPECT_TRUE(s.fileName.empty());
}

TEST(ConvertFilter, Cases) {
  struct Case {
    const char* filter;
    std::string expected;
  };
  const Case cases[] = {
      {"应用程序(*.exe)|*.exe|所有文件|*.*", "应用程序(*.exe)\0*.exe\0所有文件\0*.*\0\0"s},
      // Already closed: used unchanged.
      {"Text|*.txt||", "Text\0*.txt\0\0"s},
      // A single closing bar gets "||" too; the extra NUL is harmless.
      {"Text|*.txt|", "Text\0*.txt\0\0\0"s},
      // Trailing blanks go before the check.
      {"Text|*.txt \t\r\n", "Text\0*.txt\0\0"s},
      {"Text|*.txt||  ", "Text\0*.txt\0\0"s},
      {"", ""},
      {"  \t\r\n ", ""},
      // A GBK description whose second byte is 0x7C keeps that byte.
      {"東方|*.ico", "東方\0*.ico\0\0"s},
      // Double-byte characters before the trailing blanks stay whole.
      {"文件 ", "文件\0\0"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertFilter(c.filter), c.expected) << c.filter;
  }
  EXPECT_EQ(ConvertFilter(nullptr), "");
}

TEST(ConvertFilter, TrailByte0x7CIsNotASeparator) {
  const std::string east = "東";
  ASSERT_EQ(east.size(), 2u);
  ASSERT_EQ(static_cast<uint8_t>(east[1]), 0x7C);
  const std::string converted = ConvertFilter("東|*.x");
  ASSERT_EQ(converted.size(), 2u + 1 + 3 + 2);
  EXPECT_EQ(static_cast<uint8_t>(converted[1]), 0x7C);
  EXPECT_EQ(converted[2], '\0');
  // The system reads description, pattern, then the empty string that ends the list.
  std::vector<std::string> parts;
  for (const char* p = converted.c_str(); *p; p += std::strlen(p) + 1) parts.emplace_back(p);
  EXPECT_EQ(parts, (std::vector<std::string>{"東", "*.x"}));
}

TEST(CommonDlgProperty, WriteRulesAndReads) {
  CommonDlgSettings s;
  EXPECT_TRUE(WriteCommonDlgProperty(s, DialogType, IntSlot(7)));
  EXPECT_EQ(s.dialogType, 3);
  EXPECT_TRUE(WriteCommonDlgProperty(s, DialogType, IntSlot(-4)));
  EXPECT_EQ(s.dialogType, 0);
  EXPECT_TRUE(WriteCommonDlgProperty(s, DialogType, IntSlot(1)));
  EXPECT_EQ(s.dialogType, 1);
  EXPECT_TRUE(WriteCommonDlgProperty(s, InitialFilter, IntSlot(-2)));
  EXPECT_EQ(s.initialFilter, 0);
  EXPECT_TRUE(WriteCommonDlgProperty(s, InitialFilter, IntSlot(5)));
  EXPECT_EQ(s.initialFilter, 5);
  EXPECT_TRUE(WriteCommonDlgProperty(s, CreatePrompt, BoolSlot(true)));
  EXPECT_EQ(s.createPrompt, 1);
  EXPECT_TRUE(WriteCommonDlgProperty(s, FileMustExist, BoolSlot(false)));
  EXPECT_EQ(s.fileMustExist, 0);

  // Texts are copied on write and copied again on read; empty reads as null.
  std::string path = "C:\\a\\b.exe";
  EXPECT_TRUE(WriteCommonDlgProperty(s, FileName, TextSlot(path.c_str())));
  path[0] = 'D';
  ArgSlot read{};
  ASSERT_TRUE(ReadCommonDlgProperty(s, FileName, &read));
  EXPECT_EQ(read.type, kTypeText);
  ASSERT_NE(SlotText(read), nullptr);
  EXPECT_STREQ(SlotText(read), "C:\\a\\b.exe");
  EXPECT_NE(SlotText(read), s.fileName.c_str());
  FreeMemory(SlotText(read));
  EXPECT_TRUE(WriteCommonDlgProperty(s, Title, TextSlot(nullptr)));
  ASSERT_TRUE(ReadCommonDlgProperty(s, Title, &read));
  EXPECT_EQ(SlotText(read), nullptr);

  ASSERT_TRUE(ReadCommonDlgProperty(s, DialogType, &read));
  EXPECT_EQ(read.type, kTypeInt);
  EXPECT_EQ(SlotInt(read), 1);
  ASSERT_TRUE(ReadCommonDlgProperty(s, CreatePrompt, &read));
  EXPECT_EQ(read.type, kTypeBool);
  EXPECT_EQ(SlotInt(read), 1);

  EXPECT_FALSE(WriteCommonDlgProperty(s, 7, IntSlot(0)));
  EXPECT_FALSE(WriteCommonDlgProperty(s, 20, IntSlot(0)));
  EXPECT_FALSE(ReadCommonDlgProperty(s, 20, &read));
}

}  // namespace
}  // namespace vantorico

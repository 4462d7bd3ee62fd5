#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/tray/icon_entry_choice.h"
#include "shell/tray/menu_plan.h"
#include "shell/tray/tray_rules.h"
#include "tests/shell/tray/ico_bytes.h"

namespace vantorico {
namespace {

using testing_support::ImageOffset;
using testing_support::MakeIcoFile;

ByteSpan Span(const std::vector<uint8_t>& v) {
  return ByteSpan(v.data(), v.size());
}

TEST(ChooseIconEntry, Cases) {
  struct Case {
    const char* name;
    std::vector<testing_support::IcoImageSpec> images;
    int small;  // choice with preferLarge false
    int large;  // with preferLarge true
  };
  const Case cases[] = {
      {"16x16 with 16 colours is preferred", {{32, 16, 4, 32}, {16, 16, 4, 16}}, 1, 0},
      {"first qualifying one wins", {{16, 16, 4, 16}, {16, 255, 8, 16}, {32, 16, 4, 32}}, 0, 2},
      {"colour count 0 never qualifies", {{16, 0, 32, 16}, {32, 0, 32, 32}, {48, 0, 32, 48}}, 2, 2},
      {"fewer than 16 colours do not qualify", {{16, 15, 4, 16}, {32, 2, 1, 32}}, 1, 1},
      {"the tool's 128x128 32-bit icon", {{128, 0, 32, 128}}, 0, 0},
      // No 16-wide entry with enough colours: the last, though a 32-wide one would qualify.
      {"no small one: the last entry", {{32, 16, 4, 32}, {48, 16, 4, 48}}, 1, 0},
  };
  for (const Case& c : cases) {
    const auto file = MakeIcoFile(c.images);
    EXPECT_EQ(ChooseIconEntry(Span(file), false), c.small) << c.name;
    EXPECT_EQ(ChooseIconEntry(Span(file), true), c.large) << c.name;
  }
}

TEST(ChooseIconImage, GivesTheChosenImageAndItsSize) {
  const auto file = MakeIcoFile({{32, 16, 4, 32}, {16, 16, 4, 16}});
  ChosenIconImage chosen;
  ASSERT_TRUE(ChooseIconImage(Span(file), false, &chosen));
  EXPECT_EQ(chosen.bytes.data(), file.data() + ImageOffset(file, 1));
  EXPECT_EQ(chosen.width, 16);
  EXPECT_EQ(chosen.height, 16);
  EXPECT_EQ(chosen.bitCount, 4);
  EXPECT_EQ(chosen.bytes.data() + chosen.bytes.size(), file.data() + file.size());

  // The width and height come from the image, not from the directory.
  const auto big = MakeIcoFile({{0, 0, 32, 128}});
  ASSERT_TRUE(ChooseIconImage(Span(big), false, &chosen));
  EXPECT_EQ(chosen.width, 128);
  EXPECT_EQ(chosen.height, 128);
  EXPECT_EQ(chosen.bitCount, 32);
}

TEST(ChooseIconImage, UnusableFilesGiveNone) {
  const auto good = MakeIcoFile({{16, 16, 4, 16}, {32, 16, 4, 32}});
  ChosenIconImage chosen;
  auto cut = [&](size_t n) { return std::vector<uint8_t>(good.begin(), good.begin() + n); };
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"header cut short", cut(5)},
      {"directory cut short", cut(6 + 16 + 15)},
      // The chosen (first) image ends one byte past the data.
      {"image cut short", cut(ImageOffset(good, 1) - 1)},
  };
  auto withHeader = [&](size_t offset, uint8_t value) {
    auto bytes = good;
    bytes[offset] = value;
    return bytes;
  };
  cases.push_back({"reserved not 0", withHeader(0, 1)});
  cases.push_back({"type 3", withHeader(2, 3)});
  cases.push_back({"count 0", withHeader(4, 0)});
  for (const Case& c : cases) {
    EXPECT_FALSE(ChooseIconImage(Span(c.bytes), false, &chosen)) << c.name;
  }
  // A directory cut short in an entry the scan reaches gives none; the scan
  // stops at the first qualifying entry and reads no further.
  const auto largeFirst = MakeIcoFile({{32, 16, 4, 32}, {16, 16, 4, 16}});
  const std::vector<uint8_t> cutLargeFirst(largeFirst.begin(), largeFirst.begin() + 6 + 16 + 15);
  EXPECT_EQ(ChooseIconEntry(Span(cutLargeFirst), false), -1);
  EXPECT_EQ(ChooseIconEntry(Span(cutLargeFirst), true), 0);
  // Cursors are taken too.
  EXPECT_TRUE(ChooseIconImage(Span(withHeader(2, 2)), false, &chosen));
}

TEST(TrayTooltipField, CutAfter62Bytes) {
  const std::string longTip(80, 'x');
  auto field = TrayTooltipField(longTip.c_str());
  EXPECT_EQ(std::string(field.data()), std::string(62, 'x'));
  EXPECT_EQ(field[62], '\0');
  EXPECT_EQ(field[63], '\0');
  field = TrayTooltipField("图标提取");
  EXPECT_STREQ(field.data(), "图标提取");
  for (size_t i = std::strlen("图标提取"); i < field.size(); ++i) EXPECT_EQ(field[i], '\0');
  field = TrayTooltipField(nullptr);
  for (char c : field) EXPECT_EQ(c, '\0');
  field = TrayTooltipField(std::string(62, 'y').c_str());
  EXPECT_EQ(std::string(field.data()), std::string(62, 'y'));
}

TEST(TrayActionFor, OnlyTheFourMessages) {
  EXPECT_EQ(TrayActionFor(0x202), 1);
  EXPECT_EQ(TrayActionFor(0x203), 2);
  EXPECT_EQ(TrayActionFor(0x205), 3);
  EXPECT_EQ(TrayActionFor(0x7B), 3);
  for (uint32_t other : {0x200u, 0x201u, 0x204u, 0x206u, 0x207u, 0x208u, 0x209u, 0u, 0x400u})
    EXPECT_FALSE(TrayActionFor(other).has_value()) << std::hex << other;
}

TEST(DecideTrayCall, StateTable) {
  EXPECT_EQ(DecideTrayCall(false, true), TrayCall::Add);
  EXPECT_EQ(DecideTrayCall(false, false), TrayCall::None);
  EXPECT_EQ(DecideTrayCall(true, true), TrayCall::Modify);
  EXPECT_EQ(DecideTrayCall(true, false), TrayCall::Delete);
}

std::vector<MenuEntryDescription> ToolMenu() {
  return {{"文件", 0, kMenuHidden}, {"打开程序", 1, 0}, {"退出程序", 1, 0}};
}

TEST(MenuPlan, ToolsTrayMenu) {
  const auto entries = ToolMenu();
  EXPECT_TRUE(HasSubEntries(entries, 0));
  EXPECT_FALSE(HasSubEntries(entries, 1));
  EXPECT_FALSE(HasSubEntries(entries, 2));  // the last entry
  EXPECT_FALSE(HasSubEntries(entries, 3));
  const auto items = PlanSubMenu(entries, 0);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].caption, "打开程序");
  EXPECT_EQ(items[0].commandId, 20001u);
  EXPECT_EQ(items[1].caption, "退出程序");
  EXPECT_EQ(items[1].commandId, 20002u);
  EXPECT_FALSE(items[0].subMenu || items[0].grayed || items[0].checked || items[0].separator);
  EXPECT_TRUE(PlanSubMenu(entries, 1).empty());
}

TEST(MenuPlan, NestingFlagsSeparatorsAndHiddenSubtrees) {
  const std::vector<MenuEntryDescription> entries = {
      {"A", 0, 0},               // 0
      {"A1", 1, kMenuChecked},   // 1
      {"-", 1, 0},               // 2
      {"A2", 1, kMenuDisabled},  // 3
      {"A2a", 2, 0},             // 4
      {"A3", 1, kMenuHidden},    // 5
      {"A3a", 2, 0},             // 6
      {"B", 0, 0},               // 7
  };
  EXPECT_TRUE(PlanSubMenu(entries, 7).empty());  // B has no entries under it
  const auto a = PlanSubMenu(entries, 0);
  ASSERT_EQ(a.size(), 3u);  // A3 and its entry are hidden
  EXPECT_TRUE(a[0].checked);
  EXPECT_TRUE(a[1].separator);
  EXPECT_EQ(a[1].commandId, 20002u);
  EXPECT_TRUE(a[2].grayed);
  EXPECT_TRUE(a[2].subMenu);
  ASSERT_EQ(a[2].children.size(), 1u);
  EXPECT_EQ(a[2].children[0].caption, "A2a");
  EXPECT_EQ(a[2].children[0].commandId, 20004u);
  // The popup of a nested entry is its own sub-menu.
  const auto sub = PlanSubMenu(entries, 3);
  ASSERT_EQ(sub.size(), 1u);
  EXPECT_EQ(sub[0].commandId, 20004u);
}

}  // namespace
}  // namespace vantorico

#include "framework/layout_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/layout_handlers.h"
#include "app/stored_layout.h"
#include "framework/layout_constants.h"
#include "shell/drop/drop_constants.h"

namespace vantorico {
namespace {

std::vector<uint8_t> BuiltBlock() {
  return {kStoredLayout, kStoredLayout + kStoredLayoutSize};
}

bool Read(const std::vector<uint8_t>& block, LayoutRecord* out) {
  return ReadLayout(ByteSpan(block.data(), block.size()), kHandlerCount, out);
}

const WindowLayout& MainWindow(const LayoutRecord& layout) {
  EXPECT_EQ(layout.windows.size(), 1u);
  return layout.windows.at(0);
}

struct ExpectedControl {
  uint32_t id;
  uint32_t kind;
  const char* name;
  int left, top, width, height;
  uint32_t flags;
};

TEST(StoredLayout, UnitsInStoredOrderWithKindsGeometryAndFlags) {
  LayoutRecord layout;
  ASSERT_TRUE(Read(BuiltBlock(), &layout));
  const WindowLayout& w = MainWindow(layout);
  EXPECT_EQ(w.windowId, 0x52010001u);
  EXPECT_EQ(w.storedWords[0], 0x00EB37C0u);
  EXPECT_EQ(w.storedWords[1], 0x19010005u);
  const uint32_t v = kUnitVisible, d = kUnitDisabled, t = kUnitTabStop;
  const ExpectedControl expected[] = {
      {0x06010000, kKindWindow, "", 50, 50, 423, 155, v},
      {0x1601002E, kKindButton, "按钮5", 320, 48, 72, 32, v | t},
      {0x1601002D, kKindPicBox, "图片框1", 0, 32, 80, 48, v},
      {0x1601002C, kKindLabel, "标签2", 8, 80, 408, 32, v},
      {0x1601002A, kKindCommonDlg, "通用对话框1", 384, -8, 26, 26, 0},
      {0x16010029, kKindButton, "按钮4", 336, 8, 56, 24, v | t},
      {0x26010022, kKindMenu, "", 0, 0, 0, 0, 0},
      {0x26010027, kKindMenu, "", 0, 0, 0, 0, 0},
      {0x26010023, kKindMenu, "", 0, 0, 0, 0, 0},
      {0x1601001F, kKindButton, "按钮3", 80, 48, 72, 32, v | t},
      {0x16010010, kKindDropTarget, "拖放对象1", 384, 24, 26, 26, 0},
      {0x1601000F, kKindButton, "按钮2", 240, 48, 72, 32, v | t},
      {0x1601000E, kKindButton, "按钮1", 160, 48, 72, 32, v | d | t},
      {0x16010007, kKindLabel, "标签1", 8, 8, 48, 24, v},
      {0x16010004, kKindEditBox, "编辑框1", 72, 8, 248, 24, v | t},
  };
  ASSERT_EQ(w.units.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const UnitRecord& u = w.units[i];
    const ExpectedControl& e = expected[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(u.unitId, e.id);
    EXPECT_EQ(u.typeCode, e.kind);
    EXPECT_EQ(u.name, e.name);
    EXPECT_EQ(u.remark, "");
    if (u.typeCode == kKindMenu) continue;
    EXPECT_EQ(u.left, e.left);
    EXPECT_EQ(u.top, e.top);
    EXPECT_EQ(u.width, e.width);
    EXPECT_EQ(u.height, e.height);
    EXPECT_EQ(u.unitFlags, e.flags);
    EXPECT_EQ(u.parentUnit, 0u);
    EXPECT_TRUE(u.children.empty());
    EXPECT_EQ(u.mousePointer, std::vector<uint8_t>(4, 0));
  }
}

TEST(StoredLayout, EventBindingsResolveToTheHandlers) {
  LayoutRecord layout;
  ASSERT_TRUE(Read(BuiltBlock(), &layout));
  const WindowLayout& w = MainWindow(layout);
  auto handler = [&](uint32_t unit, uint32_t event) { return w.FindUnit(unit)->HandlerFor(event); };
  EXPECT_EQ(handler(0x06010000, kEventWindowCreated), kHandlerOnWindowCreated);
  EXPECT_EQ(handler(0x06010000, kEventTrayEvent), kHandlerOnTrayEvent);
  EXPECT_EQ(handler(0x06010000, kEventWindowClosing), -1);
  EXPECT_EQ(handler(0x1601000E, kEventButtonClicked), kHandlerOnExtractClicked);
  EXPECT_EQ(handler(0x1601000F, kEventButtonClicked), kHandlerOnAboutClicked);
  EXPECT_EQ(handler(0x1601001F, kEventButtonClicked), kHandlerOnHelpClicked);
  EXPECT_EQ(handler(0x16010029, kEventButtonClicked), kHandlerOnBrowseClicked);
  EXPECT_EQ(handler(0x1601002E, kEventButtonClicked), kHandlerOnMinimizeToTrayClicked);
  EXPECT_EQ(handler(0x16010004, kEventContentChanged), kHandlerOnPathChanged);
  EXPECT_EQ(handler(0x16010010, FilesDropped), kHandlerOnFilesDropped);
  EXPECT_EQ(handler(0x16010010, 0), -1);
  EXPECT_EQ(w.FindUnit(0x26010022)->menu.handlerRef, -1);
  EXPECT_EQ(w.FindUnit(0x26010027)->menu.handlerRef, kHandlerOnOpenChosen);
  EXPECT_EQ(w.FindUnit(0x26010023)->menu.handlerRef, kHandlerOnExitChosen);
}

TEST(StoredLayout, SettingsOfEachKind) {
  LayoutRecord layout;
  ASSERT_TRUE(Read(BuiltBlock(), &layout));
  const WindowLayout& w = MainWindow(layout);
  const WindowSettings& win = w.units[0].window;
  EXPECT_EQ(win.title, "VantorICO图标提取工具");
  EXPECT_EQ(win.border, kBorderFixedSingle);
  EXPECT_EQ(win.maximizeBox, 0u);
  EXPECT_EQ(win.minimizeBox, 1u);
  EXPECT_EQ(win.controlBox, 1u);
  EXPECT_EQ(win.closeBox, 1u);
  EXPECT_EQ(win.startPosition, kStartCentered);
  EXPECT_EQ(win.backgroundColor, kDefaultColor);
  EXPECT_TRUE(win.icon.empty());

  const ButtonSettings& extract = w.FindUnit(0x1601000E)->button;
  EXPECT_EQ(extract.caption, "提取图标");
  EXPECT_EQ(extract.buttonKind, 0u);
  EXPECT_EQ(extract.horizontalAlignment, 1u);
  EXPECT_EQ(extract.verticalAlignment, 1u);
  EXPECT_TRUE(extract.font.empty());
  EXPECT_EQ(w.FindUnit(0x1601002E)->button.caption, "最小到托盘");
  EXPECT_EQ(w.FindUnit(0x16010029)->button.caption, "浏览文件");

  const EditBoxSettings& edit = w.FindUnit(0x16010004)->editBox;
  EXPECT_EQ(edit.inputMode, kEditReadOnly);
  EXPECT_EQ(edit.border, 1u);
  EXPECT_EQ(edit.textColor, 0x000000u);
  EXPECT_EQ(edit.backgroundColor, 0xFFFFFFu);
  EXPECT_EQ(edit.maxLength, 0u);
  EXPECT_EQ(edit.content, "");

  const LabelSettings& hint = w.FindUnit(0x1601002C)->label;
  EXPECT_EQ(hint.caption, "可直接拖放文件到本窗口进行提取·也可以点击预览文件选择文件进行提取");
  EXPECT_EQ(hint.textColor(), 0x0000FFu);
  ASSERT_EQ(hint.font.size(), kLogFontSize);
  int32_t height;
  std::memcpy(&height, hint.font.data(), 4);
  EXPECT_EQ(height, -12);
  EXPECT_EQ(hint.font[23], 134);  // lfCharSet
  EXPECT_EQ(hint.font[24], 3);    // lfOutPrecision
  EXPECT_EQ(hint.font[25], 2);    // lfClipPrecision
  EXPECT_EQ(hint.font[26], 1);    // lfQuality
  EXPECT_EQ(hint.font[27], 2);    // lfPitchAndFamily
  EXPECT_STREQ(reinterpret_cast<const char*>(hint.font.data() + 28), "宋体");
  EXPECT_EQ(w.FindUnit(0x16010007)->label.caption, "文件路径");
  EXPECT_TRUE(w.FindUnit(0x16010007)->label.font.empty());

  const PicBoxSettings& pic = w.FindUnit(0x1601002D)->picBox;
  EXPECT_EQ(pic.displayMode, kFitPicture);
  EXPECT_EQ(pic.animate, 1u);
  ASSERT_EQ(pic.picture.size(), 41662u);
  EXPECT_EQ(pic.picture[6], 100);  // directory entry: width
  EXPECT_EQ(pic.picture[7], 100);

  const CommonDlgSettings& dlg = w.FindUnit(0x1601002A)->commonDlg;
  EXPECT_EQ(dlg.dialogType, 0);
  EXPECT_EQ(dlg.fileMustExist, 1);
  EXPECT_EQ(dlg.overwritePrompt, 1);
  EXPECT_EQ(dlg.pathMustExist, 1);
  EXPECT_EQ(dlg.createPrompt, 0);
  EXPECT_EQ(dlg.keepCurrentDirectory, 0);
  EXPECT_EQ(dlg.filter, "应用程序(*.exe)|*.exe|所有文件|*.*");
  EXPECT_EQ(dlg.title, "");
  EXPECT_EQ(dlg.fileName, "");

  const DropTargetSettings& drop = w.FindUnit(0x16010010)->dropTarget;
  EXPECT_EQ(drop.acceptFiles, 1);
  EXPECT_EQ(drop.acceptText + drop.acceptHtml + drop.acceptUrl, 0);

  const MenuEntryRecord& file = w.FindUnit(0x26010022)->menu;
  EXPECT_EQ(file.caption, "文件");
  EXPECT_EQ(file.level, 0u);
  EXPECT_EQ(file.menuFlags, kMenuHidden);
  EXPECT_EQ(w.FindUnit(0x26010027)->menu.caption, "打开程序");
  EXPECT_EQ(w.FindUnit(0x26010027)->menu.level, 1u);
  EXPECT_EQ(w.FindUnit(0x26010023)->menu.caption, "退出程序");
  EXPECT_EQ(w.FindUnit(0x26010023)->menu.menuFlags, 0u);
}

TEST(StoredLayout, EveryTruncationIsRefused) {
  const std::vector<uint8_t> full = BuiltBlock();
  LayoutRecord layout;
  for (size_t length = 0; length < full.size(); length += (length < 2048 ? 1 : 509)) {
    std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<ptrdiff_t>(length));
    EXPECT_FALSE(Read(cut, &layout)) << "length " << length;
  }
}

// Finds the offset of a little-endian 32-bit value in the block.
size_t FindWord(const std::vector<uint8_t>& block, uint32_t value, size_t from = 0) {
  for (size_t i = from; i + 4 <= block.size(); ++i) {
    uint32_t v;
    std::memcpy(&v, block.data() + i, 4);
    if (v == value) return i;
  }
  return SIZE_MAX;
}

TEST(StoredLayout, CorruptedBlocksAreRefused) {
  LayoutRecord layout;
  auto corrupt = [&](size_t offset, uint32_t value) {
    std::vector<uint8_t> block = BuiltBlock();
    std::memcpy(block.data() + offset, &value, 4);
    return Read(block, &layout);
  };
  // Window table length not a multiple of 8, or zero.
  EXPECT_FALSE(corrupt(0, 7));
  EXPECT_FALSE(corrupt(0, 0));
  EXPECT_FALSE(corrupt(0, 0x7FFFFFF8));
  // Unit count (after the two stored words and two empty counted texts).
  const size_t unit_count_at = 12 + 8 + 8;
  EXPECT_FALSE(corrupt(unit_count_at, 0));
  EXPECT_FALSE(corrupt(unit_count_at, 16));
  EXPECT_FALSE(corrupt(unit_count_at, 0xFFFFFFFF));
  // Unit table length past the end.
  EXPECT_FALSE(corrupt(unit_count_at + 4, 0xFFFFFFF0));
  // A record offset past the records.
  const size_t offsets_at = unit_count_at + 8 + 15 * 4;
  EXPECT_FALSE(corrupt(offsets_at + 4, 0x7FFFFFFF));
  // The first unit made a control.
  EXPECT_FALSE(corrupt(unit_count_at + 8, 0x1601002E));
  // A handler reference past the handler table.
  std::vector<uint8_t> block = BuiltBlock();
  const size_t binding = FindWord(block, static_cast<uint32_t>(kHandlerOnExtractClicked));
  ASSERT_NE(binding, SIZE_MAX);
  EXPECT_TRUE(Read(block, &layout));
  EXPECT_FALSE(ReadLayout(ByteSpan(block.data(), block.size()), 0, &layout));
}

TEST(StoredLayout, WrongBlockVersionIsRefused) {
  std::vector<uint8_t> block = BuiltBlock();
  LayoutRecord layout;
  // The window's block starts with version 6 right before its border word 2.
  size_t at = SIZE_MAX;
  for (size_t i = 0; i + 8 <= block.size(); ++i) {
    uint32_t a, b;
    std::memcpy(&a, block.data() + i, 4);
    std::memcpy(&b, block.data() + i + 4, 4);
    if (a == kStoredWindowVersion && b == kBorderFixedSingle) {
      at = i;
      break;
    }
  }
  ASSERT_NE(at, SIZE_MAX);
  block[at] = 5;
  EXPECT_FALSE(Read(block, &layout));
}

using std::string_literals::operator""s;

std::vector<uint8_t> Block(uint32_t version, std::vector<int32_t> words,
                           std::vector<std::string> texts = {}) {
  std::vector<uint8_t> out;
  auto word = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  word(version);
  for (int32_t w : words) word(static_cast<uint32_t>(w));
  for (const std::string& t : texts) {
    word(static_cast<uint32_t>(t.size()));
    out.insert(out.end(), t.begin(), t.end());
  }
  return out;
}

bool ReadCommonDlg(const std::vector<uint8_t>& block, size_t length, CommonDlgSettings* s) {
  ByteCursor cursor(block.data(), length);
  return ReadCommonDlgBlock(cursor, s);
}

TEST(CommonDlgBlock, ToolBlockNewerVersionAndCutShort) {
  const std::vector<int32_t> words = {0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 7};
  const std::vector<std::string> texts = {"", "",     "应用程序(*.exe)|*.exe|所有文件|*.*", "", "",
                                          "", "x\0y"s};
  const auto tool = Block(1, words, texts);
  CommonDlgSettings s;
  s.fileMustExist = 0;
  ASSERT_TRUE(ReadCommonDlg(tool, tool.size(), &s));
  EXPECT_EQ(s.dialogType, kDialogOpenFile);
  EXPECT_EQ(s.initialFilter, 0);
  EXPECT_EQ(s.createPrompt, 0);
  EXPECT_EQ(s.fileMustExist, 1);
  EXPECT_EQ(s.overwritePrompt, 1);
  EXPECT_EQ(s.pathMustExist, 1);
  EXPECT_EQ(s.keepCurrentDirectory, 0);
  EXPECT_EQ(s.furtherSettings[7], 7);
  EXPECT_EQ(s.filter, "应用程序(*.exe)|*.exe|所有文件|*.*");
  EXPECT_EQ(s.title, "");
  // A text is a C text: it ends at its first NUL.
  EXPECT_EQ(s.furtherTexts[1], "x");

  const auto newer = Block(2, words, texts);
  CommonDlgSettings fresh;
  EXPECT_FALSE(ReadCommonDlg(newer, newer.size(), &fresh));
  EXPECT_FALSE(ReadCommonDlg(tool, tool.size() - 1, &fresh));
  EXPECT_TRUE(fresh.filter.empty());
  EXPECT_EQ(fresh.fileMustExist, 1);
}

TEST(DropTargetBlock, ToolBlockEmptyNewerAndShort) {
  auto read = [](const std::vector<uint8_t>& block, size_t length, DropTargetSettings* s) {
    ByteCursor cursor(block.data(), length);
    return ReadDropTargetBlock(cursor, s);
  };
  DropTargetSettings s{1, 1, 1, 1};
  const auto tool = Block(1, {0, 0, 0, 1});
  ASSERT_TRUE(read(tool, tool.size(), &s));
  EXPECT_EQ(s.acceptText, 0);
  EXPECT_EQ(s.acceptHtml, 0);
  EXPECT_EQ(s.acceptUrl, 0);
  EXPECT_EQ(s.acceptFiles, 1);

  DropTargetSettings none{1, 1, 1, 1};
  ASSERT_TRUE(read({}, 0, &none));
  EXPECT_EQ(none.acceptText + none.acceptHtml + none.acceptUrl + none.acceptFiles, 0);

  const auto newer = Block(2, {1, 1, 1, 1});
  DropTargetSettings kept;
  EXPECT_FALSE(read(newer, newer.size(), &kept));
  EXPECT_FALSE(read(tool, tool.size() - 1, &kept));
  EXPECT_EQ(kept.acceptFiles, 0);
}

}  // namespace
}  // namespace vantorico

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/drop/drop_effect.h"
#include "shell/drop/drop_kinds.h"
#include "shell/drop/drop_target_settings.h"
#include "shell/drop/drop_text.h"

namespace vantorico {
namespace {

constexpr uint32_t kNone = 0, kCopy = 1, kMove = 2, kLink = 4;
constexpr uint32_t kShift = 0x4, kCtrl = 0x8, kLeftButton = 0x1;

TEST(DropEffectFor, Table) {
  struct Case {
    bool accepting;
    uint32_t keys;
    uint32_t allowed;
    uint32_t expected;
  };
  const Case cases[] = {
      // Not accepting: none, whatever is held or allowed.
      {false, 0, kCopy | kMove | kLink, kNone},
      {false, kCtrl, kCopy, kNone},
      // No key: copy, else move, else link, else none.
      {true, 0, kCopy | kMove | kLink, kCopy},
      {true, 0, kMove | kLink, kMove},
      {true, 0, kLink, kLink},
      {true, 0, kNone, kNone},
      {true, kLeftButton, kCopy | kMove, kCopy},
      // Ctrl alone: copy when allowed.
      {true, kCtrl, kCopy | kMove | kLink, kCopy},
      {true, kCtrl, kMove | kLink, kNone},
      // Shift alone: move when allowed.
      {true, kShift, kCopy | kMove | kLink, kMove},
      {true, kShift, kCopy | kLink, kNone},
      // Ctrl+Shift would link: never granted.
      {true, kCtrl | kShift, kCopy | kMove | kLink, kNone},
      {true, kCtrl | kShift, kLink, kNone},
      {true, kCtrl | kShift | kLeftButton, kCopy, kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DropEffectFor(c.accepting, c.keys, c.allowed), c.expected)
        << "accepting=" << c.accepting << " keys=" << c.keys << " allowed=" << c.allowed;
  }
}

TEST(BuildDropText, OneAloneOthersEachEndedByCrLf) {
  EXPECT_EQ(BuildDropText({"C:\\测试\\甲.exe"}), "C:\\测试\\甲.exe");
  EXPECT_EQ(BuildDropText({}), "");
  EXPECT_EQ(BuildDropText({"a", "b"}), "a\r\nb\r\n");
  EXPECT_EQ(BuildDropText({"C:\\x.exe", "D:\\数据\\乙 文件.dat", "E:\\z"}),
            "C:\\x.exe\r\nD:\\数据\\乙 文件.dat\r\nE:\\z\r\n");
  // An empty path among several still gets its line end.
  EXPECT_EQ(BuildDropText({"", "a"}), "\r\na\r\n");
}

TEST(DropKinds, OrdersFollowTheSwitches) {
  DropTargetSettings all{1, 1, 1, 1};
  EXPECT_EQ(AcceptQueryOrder(all), (std::vector<DropKind>{DropKind::Text, DropKind::Files,
                                                          DropKind::Url, DropKind::Html}));
  EXPECT_EQ(DropHandlingOrder(all), (std::vector<DropKind>{DropKind::Text, DropKind::Html,
                                                           DropKind::Url, DropKind::Files}));
  DropTargetSettings tool{0, 0, 0, 1};
  EXPECT_EQ(AcceptQueryOrder(tool), std::vector<DropKind>{DropKind::Files});
  EXPECT_EQ(DropHandlingOrder(tool), std::vector<DropKind>{DropKind::Files});
  EXPECT_TRUE(AcceptQueryOrder(DropTargetSettings{}).empty());
  DropTargetSettings linkAndHtml{0, 1, 1, 0};
  EXPECT_EQ(AcceptQueryOrder(linkAndHtml), (std::vector<DropKind>{DropKind::Url, DropKind::Html}));
  EXPECT_EQ(EventForKind(DropKind::Text), TextDropped);
  EXPECT_EQ(EventForKind(DropKind::Html), HtmlDropped);
  EXPECT_EQ(EventForKind(DropKind::Url), UrlDropped);
  EXPECT_EQ(EventForKind(DropKind::Files), FilesDropped);
  EXPECT_EQ(static_cast<int>(FilesDropped), 3);
}

TEST(DropTargetProperty, ReadsAndWritesByIndex) {
  DropTargetSettings kept;
  int32_t value = -1;
  EXPECT_TRUE(WriteDropTargetProperty(kept, AcceptUrl, 1));
  EXPECT_TRUE(ReadDropTargetProperty(kept, AcceptUrl, &value));
  EXPECT_EQ(value, 1);
  EXPECT_EQ(kept.acceptUrl, 1);
  EXPECT_FALSE(WriteDropTargetProperty(kept, 4, 1));
  EXPECT_FALSE(ReadDropTargetProperty(kept, -1, &value));
  EXPECT_EQ(kept.acceptText + kept.acceptHtml + kept.acceptFiles, 0);
}

}  // namespace
}  // namespace vantorico

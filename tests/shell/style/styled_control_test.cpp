#include "shell/style/styled_control.h"

#include <gtest/gtest.h>

#include "base/heap.h"

namespace vantorico::style {
namespace {

TEST(StyledControlList, NewestFirstFindAndRemove) {
  const HeapCounters before = GetHeapCounters();
  int a = 0, b = 0, c = 0;
  AddStyledControl(&a, kKindPushButton, 1);
  AddStyledControl(&b, kKindEdit, 2);
  AddStyledControl(&c, kKindComboBox, 3);
  EXPECT_EQ(StyledControlCount(), 3);
  ASSERT_NE(FirstStyledControl(), nullptr);
  EXPECT_EQ(FirstStyledControl()->window, &c);
  EXPECT_EQ(FirstStyledControl()->next->window, &b);

  StyledControl* found = FindStyledControl(&b);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->kind, kKindEdit);
  EXPECT_EQ(found->state, 2u);
  EXPECT_EQ(found->backBrush, nullptr);

  EXPECT_TRUE(RemoveStyledControl(&b));
  EXPECT_FALSE(RemoveStyledControl(&b));
  EXPECT_EQ(FindStyledControl(&b), nullptr);
  EXPECT_EQ(FirstStyledControl()->next->window, &a);
  EXPECT_TRUE(RemoveStyledControl(&c));
  EXPECT_TRUE(RemoveStyledControl(&a));
  EXPECT_EQ(FirstStyledControl(), nullptr);
  EXPECT_EQ(GetHeapCounters().liveBlocks, before.liveBlocks);
}

}  // namespace
}  // namespace vantorico::style

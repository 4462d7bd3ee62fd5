#include "framework/menu_commands.h"

#include <gtest/gtest.h>

namespace vantorico {
namespace {

TEST(MenuEntryForCommand, Ranges) {
  EXPECT_EQ(MenuEntryForCommand(20000, 3), 0);
  EXPECT_EQ(MenuEntryForCommand(20002, 3), 2);
  EXPECT_EQ(MenuEntryForCommand(20003, 3), -1);
  EXPECT_EQ(MenuEntryForCommand(19999, 3), -1);
  EXPECT_EQ(MenuEntryForCommand(0xE100, 100000), -1);
  EXPECT_EQ(MenuEntryForCommand(0xE0FF, 100000), 0xE0FF - 20000);
  // The two directions agree.
  for (size_t k : {0u, 1u, 2u, 999u}) {
    EXPECT_EQ(MenuEntryForCommand(MenuCommandForEntry(k), 1000), static_cast<int>(k));
  }
}

}  // namespace
}  // namespace vantorico

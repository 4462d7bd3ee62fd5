#include <gtest/gtest.h>

#include "runtime/core/memory.h"
#include "runtime/core/message_box.h"
#include "runtime/core/program_end.h"
#include "runtime/core/run_directory.h"
#include "runtime/core/runtime_error.h"

namespace vantorico {
namespace {

TEST(MessageBoxRules, TaskModalUnlessSystemModal) {
  EXPECT_EQ(MessageBoxStyle(0), 0x2000u);
  EXPECT_EQ(MessageBoxStyle(0x1000), 0x1000u);
  EXPECT_EQ(MessageBoxStyle(0x24), 0x2024u);  // MB_YESNO | MB_ICONQUESTION
  EXPECT_EQ(MessageBoxStyle(0x1024), 0x1024u);
  EXPECT_EQ(MessageBoxStyle(0x2000), 0x4000u);  // the sum is taken as it is
}

TEST(MessageBoxRules, AnswersMapByTheTable) {
  const int expected[] = {0, 0, 1, 2, 3, 4, 5, 6, 0, 0};
  for (int answer = 0; answer <= 9; ++answer) {
    EXPECT_EQ(MapMessageBoxResult(answer), expected[answer]) << answer;
  }
  EXPECT_EQ(MapMessageBoxResult(-1), 0);
}

TEST(MessageBoxRules, TextAndCaption) {
  EXPECT_EQ(MessageBoxText(TextSlot("提取完成")), "提取完成");
  EXPECT_EQ(MessageBoxText(TextSlot(nullptr)), "");
  EXPECT_EQ(MessageBoxText(IntSlot(-12)), "-12");
  EXPECT_EQ(MessageBoxText(BoolSlot(false)), "假");
  EXPECT_EQ(MessageBoxText(ArgSlot{1, 0, 0x10001}), "");
  const ArgSlot omitted = OmittedSlot();
  const ArgSlot given = TextSlot("标题");
  EXPECT_EQ(MessageBoxCaption(nullptr), "信息：");
  EXPECT_EQ(MessageBoxCaption(&omitted), "信息：");
  EXPECT_EQ(MessageBoxCaption(&given), "标题");
}

TEST(RunDirectory, SplitsAtTheLastRealBackslash) {
  ProgramPath p = SplitProgramPath("C:\\Tools\\x.exe");
  EXPECT_EQ(p.runDirectory, "C:\\Tools");
  EXPECT_EQ(p.fileName, "x.exe");
  p = SplitProgramPath("D:\\x.exe");
  EXPECT_EQ(p.runDirectory, "D:");
  p = SplitProgramPath("x.exe");
  EXPECT_EQ(p.runDirectory, "");
  EXPECT_EQ(p.fileName, "x.exe");
  // 表 (B1 ED) is harmless; 乗 in GBK is 81 5C and its trail byte is no separator.
  p = SplitProgramPath("C:\\表\\\x81\x5C.exe");
  EXPECT_EQ(p.runDirectory, "C:\\表");
  EXPECT_EQ(p.fileName, "\x81\x5C.exe");
}

TEST(RunDirectory, CommandGivesAFreshCopyEachCall) {
  SetProgramPath(SplitProgramPath("C:\\Tools\\x.exe"));
  ArgSlot a{}, b{};
  GetRunDirectory(&a, 0, nullptr);
  GetRunDirectory(&b, 0, nullptr);
  ASSERT_NE(SlotText(a), nullptr);
  EXPECT_NE(SlotText(a), SlotText(b));
  EXPECT_STREQ(SlotText(a), "C:\\Tools");
  EXPECT_STREQ(SlotText(b), "C:\\Tools");
  FreeMemory(SlotText(a));
  FreeMemory(SlotText(b));
  SetProgramPath(SplitProgramPath("x.exe"));
  ArgSlot none{};
  GetRunDirectory(&none, 0, nullptr);
  EXPECT_EQ(SlotText(none), nullptr);
}

TEST(RuntimeErrorReport, BuiltExactly) {
  EXPECT_EQ(BuildRuntimeErrorReport("载入启动窗口失败", 0),
            "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(BuildRuntimeErrorReport("", 7), "运行时出错!\r\n\r\n错误代码：7\r\n\r\n");
  EXPECT_EQ(BuildRuntimeErrorReport(nullptr, -3), "运行时出错!\r\n\r\n错误代码：-3\r\n\r\n");
  EXPECT_EQ(BuildRuntimeErrorReport("x", 2),
            "运行时出错!\r\n\r\n错误代码：2\r\n\r\n错误信息：x\r\n");
}

int g_exit_runs = 0;
int g_library_ends = 0;

TEST(ProgramEnd, ExitCallbackRunsOnceAndLibrariesAreTold) {
  RegisterExitCallback([] { ++g_exit_runs; });
  RegisterLibrary(kLibraryVisualStyle, nullptr, [] { ++g_library_ends; });
  RegisterLibrary(99, nullptr, [] { ++g_library_ends; });  // ignored
  RunEndOfProgram();
  RunEndOfProgram();
  EXPECT_EQ(g_exit_runs, 1);
  EXPECT_EQ(g_library_ends, 2);
}

}  // namespace
}  // namespace vantorico

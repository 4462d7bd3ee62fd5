// vantorico.exe as a Windows console program under Wine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

std::string Exe() {
  return PlatformPath(std::string(VANTORICO_BINARY_DIR) + "/cli/vantorico.exe");
}

// Runs the exe through the command interpreter; stdout and stderr to files.
int RunExe(const std::string& args, const ScratchDir& dir, Bytes* out) {
  const std::string command = "\"\"" + Exe() + "\" " + args + " > \"" + dir.Path("out.txt") +
                              "\" 2> \"" + dir.Path("err.txt") + "\"\"";
  const int code = std::system(command.c_str());
  ReadWholeFile(dir.Path("out.txt"), out);
  return code;
}

TEST(CliExe, ExtractsTheTestModuleAndReportsExitCodes) {
  const std::string module = TestModulePath(false);
  if (module.empty() || !FileExists(Exe())) GTEST_SKIP() << "exe or test module missing";
  ScratchDir dir("cli_exe");
  Bytes out;
  EXPECT_EQ(RunExe("--version", dir, &out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()).rfind("vantorico ", 0), 0u);
  EXPECT_EQ(RunExe("list \"" + module + "\"", dir, &out), 0);
  EXPECT_NE(std::string(out.begin(), out.end()).find("MAINICON"), std::string::npos);
  EXPECT_EQ(RunExe("extract \"" + module + "\" -o \"" + dir.Path(".") + "\"", dir, &out), 0);
  EXPECT_TRUE(FileExists(dir.Path("6.ico")));
  EXPECT_FALSE(FileExists(dir.Path("7.ico")));
  EXPECT_EQ(RunExe("list \"" + dir.Path("absent.dll") + "\"", dir, &out), 2);
  EXPECT_EQ(RunExe("frobnicate", dir, &out), 2);
  EXPECT_EQ(RunExe("extract \"" + dir.Path("out.txt") + "\"", dir, &out), 2);
}

}  // namespace
}  // namespace vantorico

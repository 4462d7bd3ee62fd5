// vantorico.exe as a Windows console program (under Wine, or on Windows).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/win_handles.h"
#include "cli/cli_app.h"
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

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &w[0], n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

std::wstring WideOfAnsi(const std::string& ansi) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &w[0], n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

TEST(CliExe, ExtractsTheTestModuleAndReportsExitCodes) {
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!module.empty() && FileExists(Exe()), "exe or test module missing");
  ScratchDir dir("cli_exe");
  Bytes out;
  EXPECT_EQ(RunExe("--version", dir, &out), 0);
  EXPECT_EQ(std::string(out.begin(), out.end()).rfind("vantorico ", 0), 0u);
  // Group 7 cannot be read: list says so in its line and its status.
  EXPECT_EQ(RunExe("list \"" + module + "\"", dir, &out), 3);
  EXPECT_NE(std::string(out.begin(), out.end()).find("MAINICON"), std::string::npos);
  // Group 7 of the test module cannot be read.
  EXPECT_EQ(RunExe("extract \"" + module + "\" -o \"" + dir.Path(".") + "\"", dir, &out), 3);
  EXPECT_TRUE(FileExists(dir.Path("6.ico")));
  EXPECT_FALSE(FileExists(dir.Path("7.ico")));
  EXPECT_EQ(RunExe("list \"" + module + ",1\"", dir, &out), 0);  // an icon location
  EXPECT_EQ(RunExe("list \"" + dir.Path("absent.dll") + "\"", dir, &out), 3);
  EXPECT_EQ(RunExe("frobnicate", dir, &out), 2);
  EXPECT_EQ(RunExe("extract \"" + dir.Path("out.txt") + "\"", dir, &out), 3);
}

// --help lists what this build does (PNG export through WIC) and the
// language rule Windows follows, not the locale variables of Linux.
TEST(CliExe, HelpSaysWhatThisBuildDoes) {
  VANTORICO_REQUIRE_INPUT(FileExists(Exe()), "exe missing");
  ScratchDir dir("cli_exe_help");
  Bytes out;
  ASSERT_EQ(RunExe("--help", dir, &out), 0);
  const std::string help(out.begin(), out.end());
  for (const char* said : {"[--format ico|bmp|png]", "--size N", "--best", "--all-sizes",
                           "else the user's UI language"}) {
    EXPECT_NE(help.find(said), std::string::npos) << said;
  }
  EXPECT_EQ(help.find("LC_ALL"), std::string::npos);
}

// The console program's writer: a folder at an output name is refused (exit
// 4) and stays; rename and skip never replace (MoveFileExW without
// MOVEFILE_REPLACE_EXISTING), and one run gives each output its own name;
// -o makes every missing level.
TEST(CliExe, TheWideWriterReplacesOnlyFilesAndSkipAndRenameNever) {
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!module.empty() && FileExists(Exe()), "exe or test module missing");
  ScratchDir dir("cli_exe_conflicts");
  ASSERT_TRUE(CreateDirectoryA(dir.Path("1.ico").c_str(), nullptr));
  std::string out, err;
  EXPECT_EQ(RunCli({"extract", module, "--index", "1", "-o", dir.Path("")}, &out, &err), 4);
  EXPECT_NE(err.find("it is not a regular file"), std::string::npos) << err;
  EXPECT_NE(GetFileAttributesA(dir.Path("1.ico").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  const Bytes old = {'o', 'l', 'd'};
  ASSERT_TRUE(WriteWholeFile(dir.Path("2.ico"), old));
  out.clear();
  EXPECT_EQ(RunCli({"extract", module, "--index", "2", "--on-conflict", "skip", "-o", dir.Path("")},
                   &out, &err),
            0)
      << err;
  EXPECT_EQ(out, "");
  for (const char* expect : {"2-2.ico", "2-3.ico"}) {
    out.clear();
    EXPECT_EQ(
        RunCli({"extract", module, "--index", "2", "--on-conflict", "rename", "-o", dir.Path("")},
               &out, &err),
        0)
        << err;
    EXPECT_EQ(out, dir.Path(expect) + "\n");
  }
  EXPECT_EQ(
      RunCli({"extract", module, "--index", "1", "--on-conflict", "rename", "-o", dir.Path("")},
             &out, &err),
      0)
      << err;
  EXPECT_TRUE(FileExists(dir.Path("1-2.ico")));
  Bytes now;
  ASSERT_TRUE(ReadWholeFile(dir.Path("2.ico"), &now));
  EXPECT_EQ(now, old);
  const std::string deep = dir.Path("a") + "\\b\\c";
  EXPECT_EQ(RunCli({"extract", module, "--index", "1", "-o", deep}, &out, &err), 0) << err;
  EXPECT_TRUE(FileExists(deep + "\\1.ico"));
}

// Runs the exe with standard input from a pipe: feed is written into it,
// and the writing end is closed unless hold. The exit code, or -1 when the
// exe has not ended within 20 seconds (it is then stopped).
int RunExeOnPipe(const std::string& args, const Bytes& feed, bool hold, const ScratchDir& dir,
                 std::string* err) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -2;
  UniqueFile reading(readEnd), writing(writeEnd);
  SetHandleInformation(writing.get(), HANDLE_FLAG_INHERIT, 0);
  UniqueFile errors(CreateFileA(dir.Path("pipe-err.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                &inherit, CREATE_ALWAYS, 0, nullptr));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = reading.get();
  startup.hStdOutput = errors.get();
  startup.hStdError = errors.get();
  std::string line = "\"" + Exe() + "\" " + args;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -2;
  }
  UniqueFile child(process.hProcess), thread(process.hThread);
  reading.reset();
  DWORD wrote = 0;
  if (!feed.empty()) {
    WriteFile(writing.get(), feed.data(), static_cast<DWORD>(feed.size()), &wrote, nullptr);
  }
  if (!hold) writing.reset();
  DWORD code = 0;
  if (WaitForSingleObject(child.get(), 20000) != WAIT_OBJECT_0) {
    TerminateProcess(child.get(), 99);
    WaitForSingleObject(child.get(), INFINITE);
    code = static_cast<DWORD>(-1);
  } else {
    GetExitCodeProcess(child.get(), &code);
  }
  errors.reset();
  Bytes said;
  ReadWholeFile(dir.Path("pipe-err.txt"), &said);
  err->assign(said.begin(), said.end());
  return static_cast<int>(code);
}

// "-" reads the source from a pipe: a whole file lists as its path does; a
// pipe its writer holds open without writing keeps to --timeout.
TEST(CliExe, StandardInputFromAPipe) {
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!module.empty() && FileExists(Exe()), "exe or test module missing");
  ScratchDir dir("cli_exe_pipe");
  Bytes bytes;
  ASSERT_TRUE(ReadWholeFile(module, &bytes));
  std::string err;
  EXPECT_EQ(RunExeOnPipe("list -", bytes, false, dir, &err), 3) << err;  // group 7 is unreadable
  EXPECT_NE(err.find("MAINICON"), std::string::npos) << err;
  const Bytes part(bytes.begin(), bytes.begin() + 1000);
  for (const Bytes& fed : {Bytes(), part}) {
    EXPECT_EQ(RunExeOnPipe("list --timeout 0.3 -", fed, true, dir, &err), 3) << fed.size();
    EXPECT_NE(err.find("'-' took more than 0.3 seconds to read (--timeout); not read"),
              std::string::npos)
        << fed.size() << ": " << err;
  }
}

// A name outside the ANSI code page (Thai is not in code page 936) opens,
// in process and as the exe's argument, and the listing names it in UTF-8.
TEST(CliExe, NamesOutsideTheAnsiCodePage) {
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!module.empty() && FileExists(Exe()), "exe or test module missing");
  ScratchDir dir("cli_exe_wide");
  const std::string folder = std::string(u8"\u0e01\u0e02");  // two Thai letters
  const std::wstring wideDir = WideOfAnsi(dir.Path(""));
  ASSERT_TRUE(CreateDirectoryW((wideDir + Wide(folder)).c_str(), nullptr));
  const std::wstring wideModule = wideDir + Wide(folder) + L"\\" + Wide(folder) + L".dll";
  ASSERT_TRUE(CopyFileW(WideOfAnsi(module).c_str(), wideModule.c_str(), FALSE));
  // dir.Path is ANSI; as UTF-8 through the wide API.
  char utf8Dir[MAX_PATH * 3];
  WideCharToMultiByte(CP_UTF8, 0, wideDir.c_str(), -1, utf8Dir, sizeof utf8Dir, nullptr, nullptr);
  const std::string utf8Module = std::string(utf8Dir) + folder + "\\" + folder + ".dll";
  std::string out, err;
  // Its group 7 cannot be read, so list exits 3; the listing is whole.
  EXPECT_EQ(RunCli({"list", utf8Module}, &out, &err), 3) << err;
  EXPECT_NE(out.find("MAINICON"), std::string::npos);
  EXPECT_EQ(RunCli({"extract", utf8Module, "--index", "1", "-o", std::string(utf8Dir) + folder},
                   &out, &err),
            0)
      << err;
  EXPECT_NE(GetFileAttributesW((wideDir + Wide(folder) + L"\\1.ico").c_str()),
            INVALID_FILE_ATTRIBUTES);
  const std::wstring command = L"\"\"" + WideOfAnsi(Exe()) + L"\" list --json \"" + wideModule +
                               L"\" > \"" + wideDir + L"json.txt\"\"";
  EXPECT_EQ(_wsystem(command.c_str()), 3);
  Bytes json;
  ASSERT_TRUE(ReadWholeFile(dir.Path("json.txt"), &json));
  EXPECT_NE(std::string(json.begin(), json.end()).find(folder + ".dll\""), std::string::npos);
}

}  // namespace
}  // namespace vantorico

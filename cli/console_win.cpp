// The Windows console: arguments from the wide command line, text to a
// console as UTF-16, to a file or pipe as the UTF-8 bytes themselves.
#include <windows.h>
#include <shellapi.h>

#include "base/utf16.h"
#include "base/win_handles.h"
#include "cli/console.h"

namespace vantorico {
namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

bool WriteTo(HANDLE handle, const std::string& utf8) {
  if (utf8.empty()) return true;
  if (IsConsole(handle)) {
    // Bytes that are not UTF-8 show as U+FFFD; the console draws the rest.
    const std::wstring wide = Utf8ToWide(utf8);
    size_t done = 0;
    while (done < wide.size()) {
      DWORD wrote = 0;
      if (!WriteConsoleW(handle, wide.data() + done, static_cast<DWORD>(wide.size() - done), &wrote,
                         nullptr) ||
          wrote == 0) {
        return false;
      }
      done += wrote;
    }
    return true;
  }
  size_t done = 0;
  while (done < utf8.size()) {
    DWORD wrote = 0;
    if (!WriteFile(handle, utf8.data() + done, static_cast<DWORD>(utf8.size() - done), &wrote,
                   nullptr) ||
        wrote == 0) {
      return false;
    }
    done += wrote;
  }
  return true;
}

}  // namespace

struct ConsoleSession::Held {
  ComSession com;
};
ConsoleSession::ConsoleSession() : held_(new Held) {}
ConsoleSession::~ConsoleSession() = default;

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv + 1, argv + argc);
  const UniqueLocal held(wide);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  return args;
}

bool WriteStandardOutput(const std::string& utf8) {
  return WriteTo(GetStdHandle(STD_OUTPUT_HANDLE), utf8);
}

void WriteStandardError(const std::string& utf8) {
  WriteTo(GetStdHandle(STD_ERROR_HANDLE), utf8);
}

bool StandardErrorIsTerminal() {
  return IsConsole(GetStdHandle(STD_ERROR_HANDLE));
}

}  // namespace vantorico

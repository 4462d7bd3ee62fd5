#include <unistd.h>

#include <cstdio>

#include "cli/console.h"

namespace vantorico {

// Nothing to set up here.
struct ConsoleSession::Held {};
ConsoleSession::ConsoleSession() = default;
ConsoleSession::~ConsoleSession() = default;

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}

bool WriteStandardOutput(const std::string& utf8) {
  return std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size() &&
         std::fflush(stdout) == 0 && !std::ferror(stdout);
}

void WriteStandardError(const std::string& utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

}  // namespace vantorico

#pragma once
// The console the command line runs in: its arguments as UTF-8, and its
// standard streams. On Windows the arguments come from the wide command
// line and text goes to a console as UTF-16 (WriteConsoleW), to a file or
// pipe as UTF-8.
#include <memory>
#include <string>
#include <vector>

namespace vantorico {

// What the platform sets up once for the program's whole run, held by main:
// on Windows COM, which the PNG codec (WIC) runs on, so that its calls nest
// in this session instead of setting COM up and tearing it down per image.
class ConsoleSession {
 public:
  ConsoleSession();
  ~ConsoleSession();
  ConsoleSession(const ConsoleSession&) = delete;
  ConsoleSession& operator=(const ConsoleSession&) = delete;

 private:
  struct Held;
  std::unique_ptr<Held> held_;
};

std::vector<std::string> CommandLineArguments(int argc, char** argv);
// False when not every byte reached standard output.
bool WriteStandardOutput(const std::string& utf8);
void WriteStandardError(const std::string& utf8);
bool StandardErrorIsTerminal();

}  // namespace vantorico

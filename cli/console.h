#pragma once
// The console the command line runs in: its arguments as UTF-8, and its
// standard streams. On Windows the arguments come from the wide command
// line and text goes to a console as UTF-16 (WriteConsoleW), to a file or
// pipe as UTF-8.
#include <string>
#include <vector>

namespace vantorico {

std::vector<std::string> CommandLineArguments(int argc, char** argv);
// False when not every byte reached standard output.
bool WriteStandardOutput(const std::string& utf8);
void WriteStandardError(const std::string& utf8);
bool StandardErrorIsTerminal();

}  // namespace vantorico

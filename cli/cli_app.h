#pragma once
// The command-line extractor: `vantorico list` and `vantorico extract`.
#include <string>
#include <vector>

namespace vantorico {

enum CliExit : int {
  kExitOk = 0,
  kExitNothingToExtract = 1,
  kExitUsageOrIo = 2,
};

// args excludes the program name. Normal output goes to out, errors (one
// line each) to err; the result is the exit code.
int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err);

}  // namespace vantorico

#pragma once
// The command-line extractor: `vantorico list` and `vantorico extract`.
#include <string>
#include <vector>

namespace vantorico {

enum CliExit : int {
  kExitOk = 0,               // everything asked for was written (or listed)
  kExitNothingToExtract = 1,  // the source has no icon groups (or only empty ones)
  kExitUsage = 2,            // the command line is wrong
  kExitBadInput = 3,         // not a program or icon file, unreadable, or groups that cannot be read
  kExitOutputFailed = 4,     // some output could not be written
};

// args excludes the program name. Normal output goes to out, errors (one
// line each) to err; the result is the exit code.
int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err);

}  // namespace vantorico

#pragma once
// The command-line extractor: `vantorico list` and `vantorico extract`.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantorico {

enum CliExit : int {
  kExitOk = 0,                // everything asked for was written (or listed)
  kExitNothingToExtract = 1,  // no groups of the asked kinds (or only empty ones), or a selector
                              // that names none
  kExitUsage = 2,             // the command line is wrong
  kExitBadInput = 3,      // not a program or icon file, unreadable, or groups that cannot be read
  kExitOutputFailed = 4,  // some output (a file, standard output) could not be written
};

// What the run takes from its surroundings.
struct CliEnvironment {
  uint16_t userLanguage = 0;  // the user's language (0: unknown); --lang replaces it
};

// Where the run's text goes, as it is made.
class CliSink {
 public:
  virtual ~CliSink() = default;
  // Normal output; false when not all of it reached its reader.
  virtual bool Out(const std::string& text) = 0;
  // Errors and notices, one line each.
  virtual void Err(const std::string& text) = 0;
  // Before each source of a run of several: done of total are finished.
  virtual void Progress(size_t done, size_t total, const std::string& file) {
    (void)done, (void)total, (void)file;
  }
};

// args excludes the program name; the result is the exit code.
int RunCli(const std::vector<std::string>& args, const CliEnvironment& env, CliSink& sink);

// The same with the system's environment, the text collected.
int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err);

}  // namespace vantorico

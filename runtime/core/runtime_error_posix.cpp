#include <cstdio>
#include <cstdlib>

#include "runtime/core/program_end.h"
#include "runtime/core/runtime_error.h"

namespace vantorico {

// Without a desktop the report goes to standard error.
void ReportRuntimeError(const char* message, int code) {
  const std::string report = BuildRuntimeErrorReport(message, code);
  std::fwrite(report.data(), 1, report.size(), stderr);
  std::fflush(stderr);
  RunEndOfProgram();
  std::_Exit(kRuntimeErrorExitCode);
}

}  // namespace vantorico

#include <windows.h>

#include "runtime/core/program_end.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/runtime_texts.h"

namespace vantorico {

void ReportRuntimeError(const char* message, int code) {
  const std::string report = BuildRuntimeErrorReport(message, code);
  MessageBoxA(nullptr, report.c_str(), kTextErrorCaption, MB_ICONERROR);
  RunEndOfProgram();
  ExitProcess(static_cast<UINT>(kRuntimeErrorExitCode));
}

}  // namespace vantorico

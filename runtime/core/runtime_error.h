#pragma once
// The fatal runtime error: a "错误" box with the stop icon, then the end of the
// program with exit code -1. It never returns.
#include <string>

namespace vantorico {

constexpr int kRuntimeErrorExitCode = -1;

// The report text: the head line, the code when it is not 0, the message when
// it is not empty, each followed by its line breaks.
std::string BuildRuntimeErrorReport(const char* message, int code);

[[noreturn]] void ReportRuntimeError(const char* message, int code);

}  // namespace vantorico

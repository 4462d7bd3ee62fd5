#include "runtime/core/runtime_error.h"

#include "runtime/core/runtime_texts.h"

namespace vantorico {

std::string BuildRuntimeErrorReport(const char* message, int code) {
  static constexpr char kBlankLine[] = "\r\n\r\n";
  std::string report = kTextRuntimeErrorHead;
  report += kBlankLine;
  if (code != 0) {
    report += kTextErrorCodeLabel;
    report += std::to_string(code);
    report += kBlankLine;
  }
  if (message && *message) {
    report += kTextErrorMessageLabel;
    report += message;
    report += "\r\n";
  }
  return report;
}

}  // namespace vantorico

#pragma once
// What the extraction handler tells the user after its loop: "提取完成" only
// for a run that wrote at least one file and had no failure; otherwise why
// nothing was extracted, or which output could not be written and why.
#include <cstdint>
#include <string>

#include "iconlib/command/extract_file_icon.h"

namespace vantorico {

// What the loop saw, from the engine's reports (ExtractOutcome values).
struct ExtractTally {
  int written = 0;
  int unreadableGroups = 0;
  int32_t firstOutcome = 0;  // of the first pass: tells why nothing came
  bool writeFailed = false;  // a write failed, or an output was the source
  int32_t failedOutcome = 0;
  std::string failedPath;
  int32_t failedErrorKind = 0;  // an ErrorKind
  int32_t failedErrorCode = 0;
  std::string failedSystemText;
};

// Adds one pass's outcome.
void CountExtractPass(int32_t outcome, ExtractTally* tally);
// Adds one pass's report: its outcome, the first outcome of the run when it is
// the first pass, and the first failed write with its reason.
void CountExtractReport(const ExtractReport& report, bool firstPass, ExtractTally* tally);

struct ExtractFeedback {
  std::string text;
  bool warning = false;  // shown with the warning icon
};
ExtractFeedback DescribeExtraction(const ExtractTally& tally);

}  // namespace vantorico

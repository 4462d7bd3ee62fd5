#include "app/extract_feedback.h"

#include "app/app_texts.h"
#include "iconlib/command/extract_file_icon.h"
#include "iconlib/platform/system_error.h"

namespace vantorico {
namespace {

std::string ReasonOfFailure(const ExtractTally& t) {
  if (static_cast<ExtractOutcome>(t.failedOutcome) == ExtractOutcome::SameAsSource) {
    return kTextOutputIsSource;
  }
  std::string reason;
  switch (static_cast<ErrorKind>(t.failedErrorKind)) {
    case ErrorKind::DiskFull:
      reason = kTextDiskFull;
      break;
    case ErrorKind::AccessDenied:
      reason = kTextAccessDenied;
      break;
    case ErrorKind::PathNotFound:
      reason = kTextFolderMissing;
      break;
    case ErrorKind::PathTooLong:
      reason = kTextPathTooLong;
      break;
    case ErrorKind::InUse:
      reason = kTextFileInUse;
      break;
    default:
      reason = t.failedSystemText.empty() ? std::string(kTextWriteRefused) : t.failedSystemText;
      break;
  }
  return reason + kTextErrorCodeOpen + std::to_string(t.failedErrorCode) + kTextErrorCodeClose;
}

const char* WhyNothing(int32_t firstOutcome) {
  switch (static_cast<ExtractOutcome>(firstOutcome)) {
    case ExtractOutcome::NoPath:
      return kTextNoFileChosen;
    case ExtractOutcome::UnsupportedSource:
      return kTextUnsupportedFile;
    case ExtractOutcome::SourceUnreadable:
      return kTextSourceUnreadable;
    case ExtractOutcome::NoGroups:
      return kTextNoIconGroups;
    case ExtractOutcome::GroupUnreadable:
      return kTextGroupsDamaged;
    default:
      return kTextNoIconGroups;
  }
}

}  // namespace

void CountExtractPass(int32_t outcome, ExtractTally* tally) {
  switch (static_cast<ExtractOutcome>(outcome)) {
    case ExtractOutcome::Written:
      ++tally->written;
      break;
    case ExtractOutcome::GroupUnreadable:
    case ExtractOutcome::RefusedImage:
      ++tally->unreadableGroups;
      break;
    default:
      break;
  }
}

void CountExtractReport(const ExtractReport& report, bool firstPass, ExtractTally* tally) {
  const auto outcome = static_cast<int32_t>(report.outcome);
  if (firstPass) tally->firstOutcome = outcome;
  CountExtractPass(outcome, tally);
  // The first write that failed is the one the box names.
  if (tally->writeFailed || (report.outcome != ExtractOutcome::WriteFailed &&
                             report.outcome != ExtractOutcome::SameAsSource)) {
    return;
  }
  tally->writeFailed = true;
  tally->failedOutcome = outcome;
  tally->failedPath = report.outputPath;
  tally->failedErrorKind = static_cast<int32_t>(report.error.kind);
  tally->failedErrorCode = report.error.code;
  tally->failedSystemText =
      report.error.kind == ErrorKind::None ? std::string() : SystemErrorText(report.error);
}

ExtractFeedback DescribeExtraction(const ExtractTally& t) {
  ExtractFeedback f;
  if (t.writeFailed) {
    f.warning = true;
    f.text = std::string(kTextWriteFailed) + kTextLineBreak + t.failedPath + kTextLineBreak +
             ReasonOfFailure(t);
    if (t.written > 0) {
      f.text += kTextLineBreak + std::string(kTextOthersWrittenOpen) + std::to_string(t.written) +
                kTextOthersWrittenClose;
    }
    return f;
  }
  if (t.written == 0) {
    f.warning = true;
    f.text = std::string(kTextNothingExtracted) + kTextLineBreak + WhyNothing(t.firstOutcome);
    return f;
  }
  if (t.unreadableGroups > 0) {
    f.warning = true;
    f.text = std::string(kTextPartlyExtractedOpen) + std::to_string(t.written) +
             kTextPartlyExtractedMiddle + std::to_string(t.unreadableGroups) +
             kTextPartlyExtractedClose;
    return f;
  }
  f.text = kTextExtractionDone;
  return f;
}

}  // namespace vantorico

// What the extraction handler tells the user, from the engine's reports.
#include "app/extract_feedback.h"

#include <gtest/gtest.h>

#include "app/app_texts.h"
#include "iconlib/command/extract_file_icon.h"
#include "iconlib/platform/system_error.h"

namespace vantorico {
namespace {

ExtractReport ReportOf(ExtractOutcome outcome, const std::string& path = "",
                       SystemError error = {}) {
  ExtractReport r;
  r.outcome = outcome;
  r.outputPath = path;
  r.error = error;
  return r;
}

// The handler's loop: one report per pass.
ExtractTally Passes(std::initializer_list<ExtractOutcome> passes) {
  ExtractTally t;
  bool first = true;
  for (ExtractOutcome o : passes) {
    CountExtractReport(ReportOf(o), first, &t);
    first = false;
  }
  return t;
}

bool Has(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

TEST(ExtractFeedback, OnlyACleanRunThatWroteSomethingIsDone) {
  using O = ExtractOutcome;
  const struct {
    ExtractTally tally;
    const char* says;
    bool warning;
  } cases[] = {
      {Passes({O::Written, O::Written, O::NothingAsked}), kTextExtractionDone, false},
      {Passes({O::NoPath, O::NoPath}), kTextNoFileChosen, true},
      {Passes({O::UnsupportedSource}), kTextUnsupportedFile, true},
      {Passes({O::SourceUnreadable}), kTextSourceUnreadable, true},
      {Passes({O::NoGroups}), kTextNoIconGroups, true},
      {Passes({O::GroupUnreadable, O::NothingAsked}), kTextGroupsDamaged, true},
      {Passes({O::Written, O::GroupUnreadable}), kTextPartlyExtractedClose, true},
  };
  for (const auto& c : cases) {
    const ExtractFeedback f = DescribeExtraction(c.tally);
    EXPECT_TRUE(Has(f.text, c.says)) << f.text;
    EXPECT_EQ(f.warning, c.warning) << f.text;
    if (c.says != kTextExtractionDone) {
      EXPECT_FALSE(Has(f.text, kTextExtractionDone)) << f.text;
    }
  }
  EXPECT_EQ(DescribeExtraction(Passes({O::Written})).text, kTextExtractionDone);
}

TEST(ExtractFeedback, AFailedWriteNamesThePathAndTheReason) {
  ExtractTally t = Passes({ExtractOutcome::Written, ExtractOutcome::WriteFailed});
  t.writeFailed = true;
  t.failedOutcome = static_cast<int32_t>(ExtractOutcome::WriteFailed);
  t.failedPath = "C:\\Tools\\2.ico";
  t.failedErrorKind = static_cast<int32_t>(ErrorKind::DiskFull);
  t.failedErrorCode = 112;
  ExtractFeedback f = DescribeExtraction(t);
  EXPECT_TRUE(f.warning);
  EXPECT_TRUE(Has(f.text, "C:\\Tools\\2.ico")) << f.text;
  EXPECT_TRUE(Has(f.text, kTextDiskFull)) << f.text;
  EXPECT_TRUE(Has(f.text, "112")) << f.text;
  EXPECT_TRUE(Has(f.text, kTextOthersWrittenClose)) << f.text;
  // A reason the tool does not word itself comes from the system.
  t.failedErrorKind = static_cast<int32_t>(ErrorKind::Other);
  t.failedSystemText = "the system's own words";
  EXPECT_TRUE(Has(DescribeExtraction(t).text, "the system's own words"));
  // The source itself as an output.
  t.failedOutcome = static_cast<int32_t>(ExtractOutcome::SameAsSource);
  EXPECT_TRUE(Has(DescribeExtraction(t).text, kTextOutputIsSource));
}

// The box names the first write that failed, with what its report said; later
// failures and passes only count.
TEST(ExtractFeedback, TheFirstFailedWriteOfTheRunIsTheOneNamed) {
  const SystemError full{112, ErrorKind::DiskFull};
  const SystemError denied{5, ErrorKind::AccessDenied};
  const struct {
    ExtractReport second;  // after a pass that wrote
    bool failed;
    const char* path;
    int32_t kind, code;
  } cases[] = {
      {ReportOf(ExtractOutcome::WriteFailed, "a\\2.ico", full), true, "a\\2.ico",
       static_cast<int32_t>(ErrorKind::DiskFull), 112},
      {ReportOf(ExtractOutcome::SameAsSource, "a\\in.ico"), true, "a\\in.ico", 0, 0},
      {ReportOf(ExtractOutcome::GroupUnreadable), false, "", 0, 0},
  };
  for (const auto& c : cases) {
    ExtractTally t;
    CountExtractReport(ReportOf(ExtractOutcome::Written), true, &t);
    CountExtractReport(c.second, false, &t);
    CountExtractReport(ReportOf(ExtractOutcome::WriteFailed, "a\\3.ico", denied), false, &t);
    EXPECT_EQ(t.firstOutcome, static_cast<int32_t>(ExtractOutcome::Written));
    EXPECT_EQ(t.written, 1);
    EXPECT_TRUE(t.writeFailed);
    EXPECT_EQ(t.failedPath, c.failed ? c.path : "a\\3.ico");
    EXPECT_EQ(t.failedOutcome,
              static_cast<int32_t>(c.failed ? c.second.outcome : ExtractOutcome::WriteFailed));
    EXPECT_EQ(t.failedErrorKind, c.failed ? c.kind : static_cast<int32_t>(ErrorKind::AccessDenied));
    EXPECT_EQ(t.failedErrorCode, c.failed ? c.code : 5);
    // The system's words are asked for only when there is an error.
    EXPECT_EQ(t.failedSystemText.empty(), c.failed && c.kind == 0);
  }
}

}  // namespace
}  // namespace vantorico

#include "cli/run_log.h"

#include "cli/cli_app.h"
#include "cli/text_escape.h"

namespace vantorico {

void RunLog::Error(const std::string& message) {
  entries_.push_back({Channel::Err, "vantorico: " + ShownText(message) + "\n"});
}

Totals& Totals::operator+=(const Totals& more) {
  sources += more.sources;
  written += more.written;
  skipped += more.skipped;
  failed += more.failed;
  unreadable += more.unreadable;
  passed += more.passed;
  iconless += more.iconless;
  unreached += more.unreached;
  return *this;
}

int Worse(int a, int b) {
  const auto rank = [](int c) {
    return c == kExitOutputFailed ? 4 : c == kExitBadInput ? 3 : c == kExitNothingToExtract ? 1 : 0;
  };
  return rank(b) > rank(a) ? b : a;
}

}  // namespace vantorico

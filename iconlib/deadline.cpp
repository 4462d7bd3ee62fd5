#include "iconlib/deadline.h"

namespace vantorico {
namespace {

thread_local const Deadline* threadDeadline = nullptr;

}  // namespace

Deadline::Deadline(double seconds) {
  if (!(seconds > 0)) return;
  set_ = true;
  // Past what a duration holds (about 292 years in nanoseconds) is no deadline.
  if (seconds > 1e9) {
    set_ = false;
    return;
  }
  at_ = std::chrono::steady_clock::now() +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(seconds));
}

bool Deadline::Passed() const {
  return set_ && std::chrono::steady_clock::now() >= at_;
}

DeadlineScope::DeadlineScope(const Deadline& deadline) : earlier_(threadDeadline) {
  threadDeadline = &deadline;
}

DeadlineScope::~DeadlineScope() {
  threadDeadline = earlier_;
}

bool PastDeadline() {
  return threadDeadline && threadDeadline->Passed();
}

}  // namespace vantorico

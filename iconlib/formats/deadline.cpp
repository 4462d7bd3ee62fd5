#include "iconlib/formats/deadline.h"

namespace vantorico {
namespace {

thread_local const Deadline* threadDeadline = nullptr;

}  // namespace

Deadline::Deadline(uint64_t nanoseconds) {
  // Past what a duration holds (about 292 years) is no deadline either.
  constexpr uint64_t kLongest = uint64_t{1} << 62;
  if (nanoseconds == 0 || nanoseconds > kLongest) return;
  set_ = true;
  at_ = std::chrono::steady_clock::now() +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::nanoseconds(static_cast<int64_t>(nanoseconds)));
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

const Deadline* ThreadDeadline() {
  return threadDeadline;
}

}  // namespace vantorico

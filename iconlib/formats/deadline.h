#pragma once
// A time by which the reading of one source is to end (the command line's
// --timeout). The reads of a source and the loop over its groups ask the
// deadline of their thread, so a source that is slow to read ends soon after
// it, as a failed read, without a thread being stopped. A thread without a
// deadline never passes one.
#include <chrono>
#include <cstdint>

namespace vantorico {

class Deadline {
 public:
  // No deadline.
  Deadline() = default;
  // nanoseconds from now; none for 0.
  explicit Deadline(uint64_t nanoseconds);
  bool Passed() const;

 private:
  bool set_ = false;
  std::chrono::steady_clock::time_point at_{};
};

// Sets the deadline of the calling thread's reading while it lives (the
// deadline must outlive it); the thread's earlier deadline comes back after.
class DeadlineScope {
 public:
  explicit DeadlineScope(const Deadline& deadline);
  ~DeadlineScope();
  DeadlineScope(const DeadlineScope&) = delete;
  DeadlineScope& operator=(const DeadlineScope&) = delete;

 private:
  const Deadline* earlier_;
};

// The calling thread's deadline has passed.
bool PastDeadline();

// The calling thread's deadline (null: none), for the threads that read
// one source's groups for it to set as theirs.
const Deadline* ThreadDeadline();

}  // namespace vantorico

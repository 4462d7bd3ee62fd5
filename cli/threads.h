#pragma once
// The few threading parts the batch run needs, each platform's own (the
// 32-bit Windows compiler has no std::thread): a lock with one condition,
// and threads that are joined when their owner goes.
#include "cli/function_ref.h"
#include <memory>

namespace vantorico {

class Monitor {
 public:
  Monitor();
  ~Monitor();
  Monitor(const Monitor&) = delete;
  Monitor& operator=(const Monitor&) = delete;
  void Lock();
  void Unlock();
  // With the lock held: gives it up until WakeAll, then holds it again.
  void Wait();
  void WakeAll();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The processors the system has online; at least 1.
unsigned OnlineCpus();

// Up to count threads, each running work(); the destructor waits for them.
// Fewer start when the system has no more to give.
class Threads {
 public:
  Threads(unsigned count, FunctionRef<void()> work);
  ~Threads();
  Threads(const Threads&) = delete;
  Threads& operator=(const Threads&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vantorico

#include <windows.h>

#include <memory>

#include "base/win_handles.h"
#include "cli/threads.h"

namespace vantorico {

struct Monitor::State {
  CRITICAL_SECTION lock;
  CONDITION_VARIABLE condition;
};

Monitor::Monitor() : state_(new State) {
  InitializeCriticalSection(&state_->lock);
  InitializeConditionVariable(&state_->condition);
}
Monitor::~Monitor() {
  DeleteCriticalSection(&state_->lock);
}
void Monitor::Lock() {
  EnterCriticalSection(&state_->lock);
}
void Monitor::Unlock() {
  LeaveCriticalSection(&state_->lock);
}
void Monitor::Wait() {
  SleepConditionVariableCS(&state_->condition, &state_->lock, INFINITE);
}
void Monitor::WakeAll() {
  WakeAllConditionVariable(&state_->condition);
}

unsigned OnlineCpus() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwNumberOfProcessors < 1 ? 1u : static_cast<unsigned>(info.dwNumberOfProcessors);
}

struct Threads::State {
  explicit State(FunctionRef<void()> w) : work(w) {}
  FunctionRef<void()> work;
  std::unique_ptr<UniqueFile[]> threads;  // a thread's handle closes as a file's does
  unsigned started = 0;
};

namespace {

DWORD WINAPI RunWork(void* state) {
  (*static_cast<const FunctionRef<void()>*>(state))();
  return 0;
}

}  // namespace

Threads::Threads(unsigned count, FunctionRef<void()> work) : state_(new State(work)) {
  state_->threads.reset(new UniqueFile[count]);
  for (; state_->started < count; ++state_->started) {
    UniqueFile& thread = state_->threads[state_->started];
    thread.reset(CreateThread(nullptr, 0, RunWork, &state_->work, 0, nullptr));
    if (!thread) break;  // the threads that started do the work
  }
}

Threads::~Threads() {
  for (unsigned i = 0; i < state_->started; ++i) {
    WaitForSingleObject(state_->threads[i].get(), INFINITE);
  }
}

}  // namespace vantorico

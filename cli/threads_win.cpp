#include <windows.h>

#include <vector>

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

struct Threads::State {
  std::function<void()> work;
  std::vector<UniqueFile> threads;  // a thread's handle closes as a file's does
};

namespace {

DWORD WINAPI RunWork(void* state) {
  static_cast<const std::function<void()>*>(state)->operator()();
  return 0;
}

}  // namespace

Threads::Threads(unsigned count, const std::function<void()>& work) : state_(new State) {
  state_->work = work;
  state_->threads.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    UniqueFile thread(CreateThread(nullptr, 0, RunWork, &state_->work, 0, nullptr));
    if (!thread) break;  // the threads that started do the work
    state_->threads.push_back(std::move(thread));
  }
}

Threads::~Threads() {
  for (const UniqueFile& t : state_->threads) WaitForSingleObject(t.get(), INFINITE);
}

unsigned Threads::started() const {
  return static_cast<unsigned>(state_->threads.size());
}

}  // namespace vantorico

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/threads.h"

namespace vantorico {

struct Monitor::State {
  std::mutex mutex;
  std::condition_variable condition;
};

Monitor::Monitor() : state_(new State) {}
Monitor::~Monitor() = default;
void Monitor::Lock() {
  state_->mutex.lock();
}
void Monitor::Unlock() {
  state_->mutex.unlock();
}
void Monitor::Wait() {
  std::unique_lock<std::mutex> held(state_->mutex, std::adopt_lock);
  state_->condition.wait(held);
  held.release();
}
void Monitor::WakeAll() {
  state_->condition.notify_all();
}

unsigned OnlineCpus() {
  const long n = sysconf(_SC_NPROCESSORS_ONLN);
  return n < 1 ? 1u : static_cast<unsigned>(std::min<long>(n, 1L << 16));
}

struct Threads::State {
  explicit State(FunctionRef<void()> w) : work(w) {}
  FunctionRef<void()> work;
  std::vector<std::thread> threads;
};

Threads::Threads(unsigned count, FunctionRef<void()> work) : state_(new State(work)) {
  for (unsigned i = 0; i < count; ++i) {
    try {
      state_->threads.emplace_back([this] { state_->work(); });
    } catch (const std::system_error&) {
      break;  // the threads that started do the work
    }
  }
}

Threads::~Threads() {
  for (std::thread& t : state_->threads) t.join();
}

}  // namespace vantorico

#include "cli/ordered_work.h"

#include <algorithm>
#include <vector>

#include "cli/threads.h"

namespace vantorico {

void RunInOrder(size_t count, unsigned jobs, FunctionRef<void(size_t)> make,
                FunctionRef<void(size_t)> take) {
  if (jobs == 0) jobs = 1;
  Monitor monitor;
  std::vector<bool> made(count, false);
  size_t next = 0;   // the first item nobody has begun
  size_t taken = 0;  // items taken so far
  const size_t ahead = InOrderWindow(jobs);
  // With the lock held: begins and makes the next item when there is one
  // within the window; false when there is none.
  const auto makeOne = [&] {
    if (next >= count || next >= taken + ahead) return false;
    const size_t i = next++;
    monitor.Unlock();
    make(i);
    monitor.Lock();
    made[i] = true;
    monitor.WakeAll();
    return true;
  };
  const auto work = [&] {
    monitor.Lock();
    while (next < count) {
      if (!makeOne()) monitor.Wait();
    }
    monitor.Unlock();
  };
  // The caller makes items too while it waits for the next to take, so the
  // run goes on however many threads start.
  Threads threads(static_cast<unsigned>(std::min<size_t>(jobs - 1, count > 0 ? count - 1 : 0)),
                  work);
  for (size_t i = 0; i < count; ++i) {
    monitor.Lock();
    while (!made[i]) {
      if (!makeOne()) monitor.Wait();
    }
    monitor.Unlock();
    take(i);
    monitor.Lock();
    ++taken;
    monitor.WakeAll();
    monitor.Unlock();
  }
}

}  // namespace vantorico

#include "cli/ordered_work.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "cli/threads.h"
#include "cli/work_pool.h"

namespace vantorico {
namespace {

// Item i's turn; the monitor guards `passed`.
class ItemTurn final : public InTurn {
 public:
  ItemTurn(Monitor& monitor, std::vector<bool>& passed, size_t item)
      : monitor_(monitor), passed_(passed), item_(item) {}
  void Take(size_t after) override {
    if (after == kNoItem || after >= item_) return;
    monitor_.Lock();
    while (!passed_[after]) monitor_.Wait();
    monitor_.Unlock();
  }
  void Pass() override {
    monitor_.Lock();
    passed_[item_] = true;
    monitor_.WakeAll();
    monitor_.Unlock();
  }

 private:
  Monitor& monitor_;
  std::vector<bool>& passed_;
  const size_t item_;
};

}  // namespace

void RunInOrder(WorkPool& pool, size_t count, size_t ahead, FunctionRef<void(size_t, InTurn&)> make,
                FunctionRef<void(size_t)> take, FirstItems* first) {
  if (ahead == 0) ahead = 1;
  Monitor monitor;
  std::vector<bool> made(count, false);
  std::vector<bool> passed(count, false);
  std::vector<bool> begunItem(count, false);
  bool toChoose = first != nullptr && pool.size() > 0;
  std::vector<size_t> early;  // the first items chosen
  size_t earlyAt = 0;         // the next of them to look at
  size_t next = 0;            // the first item in order nobody has begun
  size_t begun = 0;           // items begun so far
  size_t taken = 0;           // items taken so far
  // With the lock held: begins and makes the next item when there is one
  // within the window; false when there is none. Every item before `next`
  // has begun, and the first items wait for no turn, so an item waiting for
  // an earlier one's turn waits for one being made, and that waits only for
  // items before it.
  const auto makeOne = [&] {
    size_t i = count;
    while (i == count && earlyAt < early.size()) {
      const size_t e = early[earlyAt++];
      if (e < count && !begunItem[e] && e < taken + ahead) i = e;
    }
    if (i == count) {
      while (next < count && begunItem[next]) ++next;
      if (next >= count || next >= taken + ahead) return false;
      i = next++;
    }
    begunItem[i] = true;
    ++begun;
    monitor.Unlock();
    ItemTurn turn(monitor, passed, i);
    make(i, turn);
    monitor.Lock();
    passed[i] = true;
    made[i] = true;
    monitor.WakeAll();
    return true;
  };
  const auto work = [&] {
    monitor.Lock();
    if (begun < count && std::exchange(toChoose, false)) {
      monitor.Unlock();
      std::vector<size_t> chosen = first->Choose();
      monitor.Lock();
      early = std::move(chosen);
    }
    while (begun < count) {
      if (!makeOne()) monitor.Wait();
    }
    monitor.Unlock();
  };
  // The caller makes items too while it waits for the next to take, so the
  // run goes on however many threads help.
  WorkPool::Helpers helpers(
      pool, static_cast<unsigned>(std::min<size_t>(pool.size(), count > 0 ? count - 1 : 0)), work);
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

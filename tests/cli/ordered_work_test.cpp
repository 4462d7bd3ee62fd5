// RunInOrder: items are taken in order, and an item's turn follows the turn
// of the earlier item it names, however the threads run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "cli/ordered_work.h"
#include "cli/threads.h"

namespace vantorico {
namespace {

TEST(OrderedWork, TurnsFollowTheItemsNamedAndTakesKeepOrder) {
  constexpr size_t kItems = 300;
  // Chains of three families, and items that never take their turn (every
  // fifth): those pass theirs when made.
  std::vector<size_t> after(kItems, kNoItem);
  for (size_t i = 3; i < kItems; ++i) after[i] = i - 3;
  // Items begun first (of those that take no turn), one twice; those past
  // the first window are begun at their place.
  const std::vector<size_t> first = {250, 10, 10, 0, 295};
  for (unsigned jobs : {1u, 2u, 4u}) {
    for (size_t ahead : {size_t{1}, size_t{2}, size_t{64}, size_t{512}}) {
      WorkPool pool(jobs - 1);
      Monitor monitor;
      std::vector<size_t> events;  // 2i: item i has its turn; 2i + 1: it passed it
      std::vector<size_t> taken;
      std::vector<size_t> begun;
      RunInOrder(
          pool, kItems, ahead,
          [&](size_t i, InTurn& turn) {
            monitor.Lock();
            begun.push_back(i);
            monitor.Unlock();
            // Uneven work, so that threads overtake each other: odd items
            // hold their turn long, and the even ones after them come to
            // theirs soon.
            volatile unsigned spin = 0;
            for (unsigned k = 0; k < (i + 1) % 2 * 2000; ++k) spin = spin + 1;
            if (i % 5 == 0) return;
            turn.Take(after[i]);
            monitor.Lock();
            events.push_back(2 * i);
            monitor.Unlock();
            for (unsigned k = 0; k < i % 2 * 40000; ++k) spin = spin + 1;
            monitor.Lock();
            events.push_back(2 * i + 1);
            monitor.Unlock();
            turn.Pass();
          },
          [&](size_t i) { taken.push_back(i); }, first);
      SCOPED_TRACE(testing::Message() << "-j " << jobs << ", ahead " << ahead);
      ASSERT_EQ(taken.size(), kItems);
      for (size_t i = 0; i < kItems; ++i) ASSERT_EQ(taken[i], i);
      ASSERT_EQ(begun.size(), kItems);
      if (jobs == 1) {
        // On one thread the order items are begun in is the order asked.
        std::vector<size_t> early;
        for (size_t i : {size_t{250}, size_t{10}, size_t{0}, size_t{295}}) {
          if (i < ahead) early.push_back(i);
        }
        EXPECT_EQ(std::vector<size_t>(begun.begin(), begun.begin() + early.size()), early);
      }
      std::vector<size_t> at(2 * kItems, kNoItem);
      for (size_t e = 0; e < events.size(); ++e) at[events[e]] = e;
      for (size_t i = 0; i < kItems; ++i) {
        if (i % 5 == 0 || after[i] == kNoItem || after[i] % 5 == 0) continue;
        EXPECT_LT(at[2 * after[i] + 1], at[2 * i]) << "item " << i << " after " << after[i];
      }
    }
  }
}

// A pool's thread helps each piece of work offered while it is free, and
// again the next once it is done with one (a run's threads, out of sources,
// help one source's files, then the next source's).
TEST(OrderedWork, APoolThreadHelpsEachWorkOfferedInTurn) {
  WorkPool pool(1);
  thread_local int mark = 0;  // one per thread: its address tells them apart
  for (int round = 0; round < 3; ++round) {
    std::atomic<const int*> first{nullptr};
    std::atomic<bool> helped{false};
    RunInOrder(
        pool, 8, 8,
        [&](size_t, InTurn&) {
          const int* none = nullptr;
          if (first.compare_exchange_strong(none, &mark)) {
            // The first item made waits for one made on another thread.
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!helped && std::chrono::steady_clock::now() < until) {
            }
          } else if (first.load() != &mark) {
            helped = true;
          }
        },
        [](size_t) {});
    EXPECT_TRUE(helped) << "round " << round;
  }
}

}  // namespace
}  // namespace vantorico

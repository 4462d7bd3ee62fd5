// RunInOrder: items are taken in order, and an item's turn follows the turn
// of the earlier item it names, however the threads run.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <utility>
#include <vector>

#include "cli/ordered_work.h"
#include "cli/threads.h"

namespace vantorico {
namespace {

// The same first items every time; counts how often it was asked.
class FixedFirst final : public FirstItems {
 public:
  explicit FixedFirst(std::vector<size_t> items) : items_(std::move(items)) {}
  std::vector<size_t> Choose() override {
    ++asked;
    return items_;
  }
  std::atomic<int> asked{0};

 private:
  std::vector<size_t> items_;
};

TEST(OrderedWork, TurnsFollowTheItemsNamedAndTakesKeepOrder) {
  constexpr size_t kItems = 300;
  // Chains of three families, and items that never take their turn (every
  // fifth): those pass theirs when made.
  std::vector<size_t> after(kItems, kNoItem);
  for (size_t i = 3; i < kItems; ++i) after[i] = i - 3;
  // Items begun first (of those that take no turn), one twice, one past
  // the items; those past the window are begun at their place.
  FixedFirst first({250, 10, 10, 0, 295, 900});
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
          [&](size_t i) { taken.push_back(i); }, &first);
      SCOPED_TRACE(testing::Message() << "-j " << jobs << ", ahead " << ahead);
      ASSERT_EQ(taken.size(), kItems);
      for (size_t i = 0; i < kItems; ++i) ASSERT_EQ(taken[i], i);
      ASSERT_EQ(begun.size(), kItems);
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

// The first items are chosen once, on a pool thread, and begun before the
// items after them: here every item from 20 on (but the first ones) waits
// until item 250 has begun, so a run that begins items only in order waits
// out the timeout once and fails.
TEST(OrderedWork, FirstItemsAreBegunBeforeTheRest) {
  for (unsigned threads : {0u, 1u, 3u}) {
    SCOPED_TRACE(testing::Message() << threads << " pool threads");
    WorkPool pool(threads);
    FixedFirst first({250, 295});
    std::atomic<bool> begun250{false};
    std::atomic<int> waitedOut{0};
    std::vector<std::atomic<int>> begun(300);
    RunInOrder(
        pool, 300, 512,
        [&](size_t i, InTurn&) {
          ++begun[i];
          if (i == 250) begun250 = true;
          if (threads == 0 || i < 20 || i == 250 || i == 295) return;
          const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
          while (!begun250 && waitedOut == 0 && std::chrono::steady_clock::now() < until) {
          }
          if (!begun250) ++waitedOut;  // once: the others then go on at once
        },
        [](size_t) {}, &first);
    // Without a pool thread they are not looked for: items go in order.
    EXPECT_EQ(first.asked, threads == 0 ? 0 : 1);
    EXPECT_EQ(waitedOut, 0);
    for (size_t i = 0; i < begun.size(); ++i) ASSERT_EQ(begun[i], 1) << "item " << i;
  }
}

}  // namespace
}  // namespace vantorico

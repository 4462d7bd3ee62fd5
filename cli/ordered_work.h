#pragma once
// Work on items made on several threads and taken in order on one.
#include <cstddef>
#include <vector>

#include "cli/function_ref.h"
#include "cli/work_pool.h"

namespace vantorico {

// No item: an item whose turn waits for none.
constexpr size_t kNoItem = static_cast<size_t>(-1);

// An item's turn: the one step of its making that must follow the turn of an
// earlier item (where a run decides names), while the rest runs at once on
// other threads.
class InTurn {
 public:
  // Waits until item `after` (earlier than this one, or kNoItem) has had its
  // turn; then the caller has its own until Pass.
  virtual void Take(size_t after) = 0;
  virtual void Pass() = 0;

 protected:
  ~InTurn() = default;
};

// Items to begin before the others, so that the longest ones do not end the
// run alone; chosen while items are begun in order.
class FirstItems {
 public:
  // The items, in the order to begin them. None of them may wait in its
  // turn for another item (Take with kNoItem only): an earlier one may not
  // have begun.
  virtual std::vector<size_t> Choose() = 0;

 protected:
  ~FirstItems() = default;
};

// Runs make(i, turn) for every i below count on the calling thread and on
// the pool's threads that are free or become free, and take(i) on the
// calling thread for each i in order, after make(i) has returned. Item i is
// begun only after item i - ahead has been taken, so a ring of
// min(count, ahead) slots, slot i % ahead, holds what is made. An item that
// did not pass its turn passes it when make returns. With a pool of no
// threads each item is made just before it is taken.
//
// Items are begun in order. With `first` and a pool of threads, the first
// pool thread to help chooses the first items meanwhile; each is then begun
// before the rest, unless it has begun already or lies past the window
// (then it is begun at its place).
void RunInOrder(WorkPool& pool, size_t count, size_t ahead, FunctionRef<void(size_t, InTurn&)> make,
                FunctionRef<void(size_t)> take, FirstItems* first = nullptr);

}  // namespace vantorico

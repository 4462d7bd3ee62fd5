#pragma once
// Work on items made on several threads and taken in order on one.
#include <cstddef>
#include "cli/function_ref.h"

namespace vantorico {

// How many items RunInOrder may have made and not yet taken: item i is
// begun only after item i - InOrderWindow(jobs) has been taken, so a ring of
// that many slots, slot i % InOrderWindow(jobs), holds what is made.
inline size_t InOrderWindow(unsigned jobs) {
  return 2 * static_cast<size_t>(jobs == 0 ? 1 : jobs);
}

// Runs make(i) for every i below count on up to `jobs` threads (the caller
// and jobs - 1 more), and take(i) on the calling thread for each i in
// order, after make(i) has returned. With one job each item is made just
// before it is taken.
void RunInOrder(size_t count, unsigned jobs, FunctionRef<void(size_t)> make,
                FunctionRef<void(size_t)> take);

}  // namespace vantorico

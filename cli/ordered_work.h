#pragma once
// Work on items made on several threads and taken in order on one.
#include <cstddef>
#include "cli/function_ref.h"

namespace vantorico {

// Runs make(i) for every i below count on up to `jobs` threads (the caller
// and jobs - 1 more), and take(i) on the calling thread for each i in
// order, after make(i) has returned. At most 2 x jobs items are made and not
// yet taken. With one job each item is made just before it is taken.
void RunInOrder(size_t count, unsigned jobs, FunctionRef<void(size_t)> make,
                FunctionRef<void(size_t)> take);

}  // namespace vantorico

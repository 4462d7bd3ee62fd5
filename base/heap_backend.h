#pragma once
// The raw allocation calls under the counting heap: the process heap on
// Windows, malloc elsewhere.
#include <cstddef>

namespace vantorico {
void* RawAllocate(size_t size);
void RawFree(void* block);
}  // namespace vantorico

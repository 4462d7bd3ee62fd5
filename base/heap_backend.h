#pragma once
// The raw allocation calls under the counting heap: the process heap on
// Windows, malloc elsewhere. RawFree is given the size RawAllocate was asked
// for, so a backend may place large blocks apart from small ones.
#include <cstddef>

namespace vantorico {
void* RawAllocate(size_t size);
void RawFree(void* block, size_t size);
}  // namespace vantorico

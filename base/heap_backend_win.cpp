#include <windows.h>

#include "base/heap_backend.h"

namespace vantorico {
void* RawAllocate(size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}
void RawFree(void* block, size_t) {
  HeapFree(GetProcessHeap(), 0, block);
}
}  // namespace vantorico

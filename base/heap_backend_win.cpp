#include <windows.h>

#include "base/heap.h"
#include "base/heap_backend.h"

namespace vantorico {
// The process heap keeps what is freed.
void KeepFreedMemoryInProcess() {}

void* RawAllocate(size_t size) {
  return HeapAlloc(GetProcessHeap(), 0, size);
}
void RawFree(void* block, size_t) {
  HeapFree(GetProcessHeap(), 0, block);
}
}  // namespace vantorico

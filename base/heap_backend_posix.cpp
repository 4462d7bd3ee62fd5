#include <cstdlib>

#include "base/heap_backend.h"

namespace vantorico {
void* RawAllocate(size_t size) {
  return std::malloc(size);
}
void RawFree(void* block) {
  std::free(block);
}
}  // namespace vantorico

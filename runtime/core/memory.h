#pragma once
// The allocator behind every text a command hands out. A failed allocation
// is fatal (the runtime error report); freeing null or a pointer into a
// registered no-free range (the program's constant data) does nothing.
#include <cstddef>
#include <memory>

namespace vantorico {

void* AllocateMemory(size_t size);
void FreeMemory(const void* block);

struct FreeMemoryRelease {
  void operator()(const char* text) const { FreeMemory(text); }
};
// The one owner of a text a command or a property read handed out: freed
// with FreeMemory when the owner goes.
using OwnedText = std::unique_ptr<const char, FreeMemoryRelease>;

// Blocks in [start, end) are never freed. Ranges are tried in registration order.
void RegisterNoFreeRange(const void* start, const void* end);
bool IsInNoFreeRange(const void* block);

}  // namespace vantorico

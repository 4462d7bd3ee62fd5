#include "base/heap.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "base/heap_backend.h"

namespace vantorico {
namespace {

// Each block carries its size in front so the counters stay exact.
constexpr size_t kBlockHeader = 16;
static_assert(kHeapChunkSize + kBlockHeader == size_t{2} << 20,
              "a chunk and its header fill one huge page");

std::atomic<uint64_t> g_live_blocks{0};
std::atomic<uint64_t> g_live_bytes{0};
std::atomic<uint64_t> g_total{0};
std::atomic<int64_t> g_fail_after{-1};

bool ShouldFail() {
  int64_t left = g_fail_after.load();
  while (left >= 0) {
    if (left == 0) return true;
    if (g_fail_after.compare_exchange_weak(left, left - 1)) return false;
  }
  return false;
}

}  // namespace

void* HeapTryAllocate(size_t size) {
  if (size > SIZE_MAX - kBlockHeader || ShouldFail()) return nullptr;
  auto* raw = static_cast<unsigned char*>(RawAllocate(size + kBlockHeader));
  if (!raw) return nullptr;
  std::memcpy(raw, &size, sizeof(size));
  g_live_blocks++;
  g_live_bytes += size;
  g_total++;
  return raw + kBlockHeader;
}

void HeapRelease(void* block) {
  if (!block) return;
  auto* raw = static_cast<unsigned char*>(block) - kBlockHeader;
  size_t size;
  std::memcpy(&size, raw, sizeof(size));
  g_live_blocks--;
  g_live_bytes -= size;
  RawFree(raw, size + kBlockHeader);
}

HeapCounters GetHeapCounters() {
  return {g_live_blocks.load(), g_live_bytes.load(), g_total.load()};
}

void SetHeapFailureAfter(int64_t fail_after) {
  g_fail_after.store(fail_after);
}

}  // namespace vantorico

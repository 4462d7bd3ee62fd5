#include "cli/source_order.h"

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "cli/file_seam.h"
#include "cli/ordered_work.h"

namespace vantorico {
namespace {

// Sizes looked up per claim of the shared counter: few enough to share the
// work evenly, enough that the counter is not fought over.
constexpr size_t kSizesPerClaim = 32;

}  // namespace

std::vector<size_t> LargestSourcesFirst(WorkPool& pool, const std::vector<SourceArg>& sources,
                                        const std::vector<size_t>& after, size_t window,
                                        size_t count) {
  const size_t n = std::min(sources.size(), window);
  std::vector<uint64_t> sizes(n, 0);
  std::atomic<size_t> claimed{0};
  const auto lookUp = [&] {
    for (size_t begin; (begin = claimed.fetch_add(kSizesPerClaim)) < n;) {
      for (size_t i = begin; i < std::min(n, begin + kSizesPerClaim); ++i) {
        if (after[i] == kNoItem && !sources[i].standardInput)
          sizes[i] = SizeOfFile(sources[i].path);
      }
    }
  };
  {
    const WorkPool::Helpers helpers(pool, pool.size(), lookUp);
    lookUp();
  }
  std::vector<size_t> order;
  for (size_t i = 0; i < n; ++i) {
    if (sizes[i] > 0) order.push_back(i);
  }
  count = std::min(count, order.size());
  // Largest first; of equal sizes, the earlier.
  std::partial_sort(
      order.begin(), order.begin() + static_cast<std::ptrdiff_t>(count), order.end(),
      [&](size_t a, size_t b) { return sizes[a] != sizes[b] ? sizes[a] > sizes[b] : a < b; });
  order.resize(count);
  return order;
}

}  // namespace vantorico

#include "cli/source_order.h"

#include <algorithm>
#include <cstdint>

#include "cli/file_seam.h"
#include "cli/ordered_work.h"

namespace vantorico {

std::vector<size_t> LargestSources(const std::vector<SourceArg>& sources,
                                   const std::vector<size_t>& after, size_t window, size_t count) {
  const size_t n = std::min(sources.size(), window);
  std::vector<uint64_t> sizes(n, 0);
  std::vector<size_t> order;
  for (size_t i = 0; i < n; ++i) {
    if (after[i] != kNoItem || sources[i].standardInput) continue;
    sizes[i] = SizeOfFile(sources[i].path);
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

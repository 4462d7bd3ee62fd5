#pragma once
// Which sources a batch run on several threads begins first. Sources are
// begun in order, and one that takes far longer than the rest (an icon
// library of hundreds of groups) begun late in a folder would end the run
// alone while the other threads wait; begun first, it runs beside the rest.
#include <cstddef>
#include <vector>

#include "cli/source_gathering.h"

namespace vantorico {

// The `count` largest files among the first `window` sources, largest
// first, leaving out those that wait for an earlier source's turn (after[i]
// is not kNoItem) and standard input.
std::vector<size_t> LargestSources(const std::vector<SourceArg>& sources,
                                   const std::vector<size_t>& after, size_t window, size_t count);

}  // namespace vantorico

#pragma once
// The one text FilesDropped carries.
#include <string>
#include <vector>

namespace vantorico {

// One path alone; otherwise every path (none included) followed by CR LF.
std::string BuildDropText(const std::vector<std::string>& paths);

}  // namespace vantorico

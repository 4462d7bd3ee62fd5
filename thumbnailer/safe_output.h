#pragma once
// Writing the thumbnail without ever leaving a partial file at the output
// path or following a link planted there: the bytes go to a new file in the
// same folder (O_CREAT | O_EXCL | O_NOFOLLOW, mode 0600), which is then
// renamed over the output path.
#include <cstdint>
#include <string>
#include <vector>

namespace vantorico {

// False with the system's reason in error when any step fails; the
// temporary file is removed then.
[[nodiscard]] bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                                       std::string* error);

}  // namespace vantorico

#pragma once
// POSIX helpers of the file seam that the command line's seam shares.

namespace vantorico {

// open(2) of a path of any length: one longer than the system takes is
// opened folder by folder, each relative to the one before (the folders on
// the way are followed as open would follow them). -1 with errno set on
// failure.
int OpenAnyLength(const char* path, int flags);

}  // namespace vantorico

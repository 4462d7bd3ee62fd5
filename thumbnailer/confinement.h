#pragma once
// The worker's confinement, set up once the input and output are open and
// before a byte of the input is read: the resource limits of
// thumbnailer_limits.h and a seccomp filter that allows only what reading,
// decoding, encoding, writing and exiting need. Any other system call kills
// the process (SIGSYS). POSIX (Linux) only.
#include <string>

namespace vantorico {

struct ConfinementReport {
  // What could not be set up (a limit refused, seccomp unavailable), for
  // stderr; empty when everything took.
  std::string problems;
};

// Confines the calling process for good. Where the filter cannot be
// installed (a kernel without seccomp) the limits still hold.
ConfinementReport ConfineWorker();

}  // namespace vantorico

#pragma once
// The directory the program runs from, fixed at start-up.
#include <string>

#include "base/arg_slot.h"

namespace vantorico {

constexpr size_t kMaxPathBytes = 260;

struct ProgramPath {
  std::string runDirectory;  // no trailing backslash; "D:" for a program in a drive's root
  std::string fileName;
};

// Splits at the last backslash that is not the second byte of a double-byte character.
ProgramPath SplitProgramPath(const char* full_path);

// Records the split path (start-up) and reads it back.
void SetProgramPath(const ProgramPath& path);
const ProgramPath& GetProgramPath();

// Reads the program's own path, records it and makes the run directory current.
void InitRunDirectory();

// Core command: a new text holding the run directory (null when it is empty).
void GetRunDirectory(ArgSlot* result, int count, ArgSlot* args);

}  // namespace vantorico

#pragma once
// What one extraction did: the engine's answer to every caller. Nobody may
// drop it.
#include <cstdint>

#include "iconlib/platform/system_error.h"

namespace vantorico {

enum class ExtractStatus {
  Written,          // the output holds the group (bytesWritten of them)
  NothingAsked,     // the output's kind writes nothing (for example a .png name)
  NoSuchGroup,      // the index names no group of the source
  UnreadableGroup,  // the group's bytes cannot be read (cut short, an image missing)
  OverBudget,       // the source's output budget is spent
  RefusedImage,     // bitmap or clipboard: no first image, a PNG, or not a whole DIB
  WriteFailed,      // the system refused the write: error says why
  SameAsSource,     // the output path names the source file itself: never written
};

struct [[nodiscard]] ExtractResult {
  ExtractStatus status = ExtractStatus::NoSuchGroup;
  uint64_t bytesWritten = 0;
  SystemError error;
  bool written() const { return status == ExtractStatus::Written; }
};

}  // namespace vantorico

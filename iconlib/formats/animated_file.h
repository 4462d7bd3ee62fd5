#pragma once
// An animated cursor or icon (.ani): a RIFF form "ACON" holding an "anih"
// header (frame and step counts, the display rate in jiffies of 1/60 s, the
// flags), optionally "rate" (one rate per step) and "seq " (one frame index
// per step), and a LIST "fram" of "icon" chunks, each frame an icon or
// cursor file. Read through the byte cursor: every chunk lies inside its
// container, and the counts are bounded by the bytes that hold them.
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"

namespace vantorico {

// More frames than this are refused: each is an icon file of its own.
constexpr uint32_t kMaxAnimatedFrames = 4096;
// More rates or sequence entries than this are refused.
constexpr size_t kMaxAnimatedSteps = 65536;
// "anih": nine 32-bit fields.
constexpr size_t kAnimatedHeaderSize = 36;
// anih flags: the frames are icon or cursor files (not raw bitmaps), and
// "seq " orders the steps.
constexpr uint32_t kAnimatedFlagIcon = 1;
constexpr uint32_t kAnimatedFlagSequence = 2;

struct AnimatedFile {
  uint32_t headerFrames = 0;  // as anih says
  uint32_t headerSteps = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bitCount = 0;
  uint32_t planes = 0;
  uint32_t displayRate = 0;  // jiffies per step when there is no "rate"
  uint32_t flags = 0;
  std::vector<ByteSpan> frames;    // each "icon" chunk, in order; they lie in the file
  std::vector<uint32_t> rates;     // "rate", when present
  std::vector<uint32_t> sequence;  // "seq ", when present
};

enum class AnimatedFailure {
  None,
  NotAnimated,    // not RIFF "ACON"
  CutShort,       // a chunk lies past its container, or anih is short or missing
  TooManyFrames,  // past kMaxAnimatedFrames
  TooManySteps,   // rates or sequence past kMaxAnimatedSteps
  NoMemory,
};

// Reads file's chunks. A RIFF size past the file is cut to the file; an
// odd-sized chunk is followed by its pad byte; a chunk whose size passes its
// container cuts the container there (after one retry where an overstated
// list's sub-chunks end). Unknown chunks are passed over. CutShort when
// there is no whole "anih".
[[nodiscard]] AnimatedFailure ReadAnimatedFile(ByteSpan file, AnimatedFile* out);

}  // namespace vantorico

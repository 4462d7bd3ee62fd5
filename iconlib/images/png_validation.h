#pragma once
// Whether a stored PNG image is a complete, valid PNG file that may be
// written as it is: every chunk whole with its CRC, IHDR first and sound,
// a palette where the colour type needs one, the IDAT chunks together,
// IEND last with nothing after it, no critical chunk a decoder does not
// know, little ancillary data, and the image data inflating (zlib) to
// exactly the rows IHDR describes, each with a known filter. Anything
// else is decoded and encoded again, or refused.
#include <cstdint>

#include "base/byte_cursor.h"

namespace vantorico {

enum class PngFault {
  None,
  NoSignature,
  ChunkPastEnd,  // a chunk's length, type or CRC passes the end of the bytes
  BadChunkType,  // not four ASCII letters
  BadCrc,
  IhdrNotFirst,
  BadIhdr,          // length, size, depth, colour type, methods
  ChunkOrder,       // a second IHDR or PLTE, PLTE after IDAT, IDAT split by others
  PaletteMismatch,  // colour type 3 without PLTE, or PLTE for grey
  UnknownCritical,  // a critical chunk other than IHDR, PLTE, IDAT and IEND
  NoImageData,      // no IDAT
  NoIend,           // the bytes end before IEND
  DataAfterIend,
  TooMuchAncillary,  // more than kMaxStoredAncillaryBytes of other chunks
  ImageTooLarge,     // more pixels than any decoder here takes
  BadImageData,      // the zlib stream is damaged, cut short or followed by more
  WrongDataSize,     // it inflates to more or fewer bytes than IHDR says
  BadFilter,         // a row's filter type is not 0 to 4
};

const char* PngFaultName(PngFault fault);

// Ancillary chunks (text, profiles, anything but IHDR, PLTE, IDAT, IEND) a
// stored image may carry and still be written as it is; icons carry a few
// hundred bytes, and a thumbnail goes into a file manager's cache.
constexpr uint64_t kMaxStoredAncillaryBytes = 256 * 1024;

[[nodiscard]] PngFault ValidatePng(ByteSpan png);
inline bool IsCompletePng(ByteSpan png) {
  return ValidatePng(png) == PngFault::None;
}

}  // namespace vantorico

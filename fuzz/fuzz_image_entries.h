#pragma once
// Fuzzing entry for the image side: the DIB decoder and the scaler behind it.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// Decodes the bytes as one icon image's DIB. An accepted image must have a
// positive size and exactly width x height x 4 bytes of pixels; scaled to
// 7 x 5 and back to its own size it must keep those promises too.
bool FuzzDibDecoder(const uint8_t* data, size_t size);

}  // namespace vantorico

#pragma once
// Fuzzing entry points for the readers and text rules outside the engine:
// the stored layout, the icon-bytes chooser, the filter conversion and the
// drop text. Each returns false when a promised property does not hold.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// The bytes as a stored layout block, read against a few handler counts.
bool FuzzLayoutReader(const uint8_t* data, size_t size);
// The bytes as an icon file handed to the icon-bytes chooser.
bool FuzzIconChoice(const uint8_t* data, size_t size);
// The bytes up to the first NUL as a Filter text.
bool FuzzFilterConversion(const uint8_t* data, size_t size);
// The bytes as NUL-separated paths given to the drop text builder.
bool FuzzDropText(const uint8_t* data, size_t size);

}  // namespace vantorico

#pragma once
// The fuzzing entry points, shared by the libFuzzer targets and the native
// replay test that runs them over the corpora and the regression files.
// Each returns false when a property the reader promises does not hold;
// a crash or a sanitizer report is a failure of its own.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// Reads the bytes as a module (PE32, PE32+ or NE): counts the icon groups,
// reads each group with its images and writes it to a sink; looks up every
// RT_ICON name too.
bool FuzzModuleReader(const uint8_t* data, size_t size);
// Reads the bytes as an icon file, writes the set to memory and reads that
// again: the images must come back the same.
bool FuzzIconFileReader(const uint8_t* data, size_t size);

}  // namespace vantorico

#pragma once
// The fuzzing entry points, shared by the libFuzzer targets and the native
// replay test that runs them over the seed corpus.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// Reads the bytes as a module: every icon group, every image, then writes
// each group's icon file to memory-less sinks.
void FuzzModuleReader(const uint8_t* data, size_t size);
// Reads the bytes as an icon file and derives every image's fields.
void FuzzIconFileReader(const uint8_t* data, size_t size);

}  // namespace vantorico

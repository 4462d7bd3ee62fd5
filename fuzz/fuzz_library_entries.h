#pragma once
// The fuzzing entry point of libvantorico's C interface over memory input,
// shared by its libFuzzer target and the native replay test.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// Opens the bytes from memory and asks everything of every group of every
// type: descriptions, names, languages, the files in each layout, a PNG,
// and each image's bytes, pixels and digests. False when an answer breaks
// what the interface promises (a buffer that is not whole, a file whose
// header is not an icon or cursor file's, a status past the last one).
bool FuzzLibrary(const uint8_t* data, size_t size);

}  // namespace vantorico

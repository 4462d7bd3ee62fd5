#pragma once
// Where the thumbnailer gets its icon: the first icon group of a program file
// (PE or NE), or the images of an .ico file. The only part of the thumbnailer
// that knows the engine's reading API.
#include <cstdint>
#include <vector>

namespace vantorico {

// Fills images with a copy of each image's bytes; false when the file cannot
// be read or holds no icon group (images is then empty).
bool LoadFirstGroupImages(const char* path, std::vector<std::vector<uint8_t>>* images);

}  // namespace vantorico

#pragma once
// The images a thumbnail is made from: the first icon group of a program
// file (PE or NE) or of an .ico file, as the engine reads it.
#include <cstdint>
#include <vector>

namespace vantorico {

// The images of the file's first readable group with images; false when it
// has none (not a program or icon file, no icon groups, all unreadable).
bool LoadFirstGroupImages(const char* path, std::vector<std::vector<uint8_t>>* images);

}  // namespace vantorico

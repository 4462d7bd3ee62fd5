#pragma once
// A PNG checker for what the tests see written, apart from the product's
// codec and validator: the chunks walked by hand, each CRC by zlib, the
// image data inflated whole by zlib and measured against IHDR.
#include <cstdint>
#include <string>
#include <vector>

namespace vantorico::testing {

// Empty when bytes are a complete, valid PNG file; else what is wrong.
std::string PngProblem(const std::vector<uint8_t>& bytes);

// Every file whose name ends in .png (any case) under dir, with its problem,
// for the files that have one.
std::vector<std::string> InvalidPngFilesUnder(const std::string& dir);

}  // namespace vantorico::testing

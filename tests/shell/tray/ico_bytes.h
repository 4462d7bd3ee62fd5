#pragma once
// Icon files made by hand for the tray tests: a header, one directory entry
// per image, then each image as a BITMAPINFOHEADER, colour rows and a mask.
#include <cstdint>
#include <vector>

namespace vantorico::testing_support {

struct IcoImageSpec {
  uint8_t width;       // as written in the directory (0 for 256)
  uint8_t colorCount;  // the directory's colour-count byte
  uint16_t bitCount;
  int32_t pixels;  // the image's real width and height
};

std::vector<uint8_t> MakeIcoFile(const std::vector<IcoImageSpec>& images);

// Offset of image i's bytes, as its directory entry gives it.
uint32_t ImageOffset(const std::vector<uint8_t>& file, int i);

}  // namespace vantorico::testing_support

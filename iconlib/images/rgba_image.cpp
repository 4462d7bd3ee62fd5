#include "iconlib/images/rgba_image.h"

namespace vantorico {

bool IsFullyTransparent(const RgbaImage& image) {
  for (size_t i = 3; i < image.pixels.size(); i += 4) {
    if (image.pixels[i] != 0) return false;
  }
  return true;
}

}  // namespace vantorico

#pragma once
// Which image of a group to show at a size. Portable.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/byte_cursor.h"

namespace vantorico {

// An image as image_fields.h derives it: a DIB's header or a PNG's IHDR.
struct ImageDescription {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bitDepth = 0;  // biPlanes x biBitCount, or PNG bits per pixel
  bool isPng = false;
  bool usable = false;  // width and height known and positive
};

ImageDescription DescribeImage(ByteSpan image);

// The larger of width and height: what a thumbnail size is compared with.
uint32_t ImageExtent(const ImageDescription& image);

// Indexes of the usable images in the order to try them for size:
//   size > 0: those of exactly that extent (deepest first), then the larger
//             ones from the next larger up (to be scaled down), then the
//             smaller ones from the largest down (to be scaled up);
//   size 0 ("best"): largest first.
// Equal extents go deepest first, then in group order.
std::vector<size_t> ImagePreference(const std::vector<ImageDescription>& images, uint32_t size);

// The first of ImagePreference, or -1 when no image is usable.
int64_t ChooseImage(const std::vector<ByteSpan>& images, uint32_t size);

}  // namespace vantorico

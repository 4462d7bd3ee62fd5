#include "fuzz/fuzz_image_entries.h"

#include "iconlib/images/dib_decoder.h"
#include "iconlib/images/rgba_scale.h"

namespace vantorico {

bool FuzzDibDecoder(const uint8_t* data, size_t size) {
  const DibDecodeResult r = DecodeDib(ByteSpan(data, size));
  if (!r.ok()) return r.image.pixels.empty();
  const RgbaImage& image = r.image;
  if (image.width == 0 || image.height == 0) return false;
  if (image.pixels.size() != uint64_t{image.width} * image.height * 4) return false;
  // Scaling is cheap for what fits in an input of this size; keep it bounded.
  if (uint64_t{image.width} * image.height > (1u << 16)) return true;
  const RgbaImage small = ScaleRgba(image, 7, 5);
  if (small.width != 7 || small.height != 5 || small.pixels.size() != 7 * 5 * 4) return false;
  const RgbaImage back = ScaleRgba(small, image.width, image.height);
  return back.pixels.size() == image.pixels.size();
}

}  // namespace vantorico

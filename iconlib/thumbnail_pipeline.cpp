#include "iconlib/thumbnail_pipeline.h"

#include <utility>

#include "iconlib/dib_decoder.h"
#include "iconlib/image_choice.h"
#include "iconlib/png_codec.h"
#include "iconlib/png_validation.h"
#include "iconlib/rgba_scale.h"

namespace vantorico {

const char* ThumbnailErrorName(ThumbnailError error) {
  switch (error) {
    case ThumbnailError::None:
      return "none";
    case ThumbnailError::NoImages:
      return "no usable image";
    case ThumbnailError::Undecodable:
      return "no image could be decoded";
    case ThumbnailError::Blank:
      return "the image is fully transparent";
    case ThumbnailError::EncodeFailed:
      return "PNG encoding failed";
  }
  return "unknown";
}

namespace {

bool Decode(ByteSpan bytes, bool isPng, RgbaImage* out) {
  if (isPng) {
    PngDecodeResult r = DecodePng(bytes);
    if (!r.ok()) return false;
    *out = std::move(r.image);
    return true;
  }
  DibDecodeResult r = DecodeDib(bytes);
  if (!r.ok()) return false;
  *out = std::move(r.image);
  return true;
}

}  // namespace

Thumbnail MakeThumbnail(const std::vector<ByteSpan>& images, uint32_t size, BlankImages blank,
                        SmallImages small) {
  Thumbnail result;
  std::vector<ImageDescription> described;
  described.reserve(images.size());
  for (const ByteSpan& image : images) described.push_back(DescribeImage(image));
  const std::vector<size_t> order = ImagePreference(described, size);
  if (order.empty()) {
    result.error = ThumbnailError::NoImages;
    return result;
  }
  bool anyDecoded = false;
  for (size_t index : order) {
    const ImageDescription& d = described[index];
    RgbaImage decoded;
    if (!Decode(images[index], d.isPng, &decoded)) continue;
    anyDecoded = true;
    uint32_t w = decoded.width, h = decoded.height;
    if (size != 0) FitInside(decoded.width, decoded.height, size, &w, &h);
    if (small == SmallImages::KeepSize && (w > decoded.width || h > decoded.height)) {
      w = decoded.width;
      h = decoded.height;
    }
    const bool asStored = w == decoded.width && h == decoded.height;
    RgbaImage shown = asStored ? std::move(decoded) : ScaleRgba(decoded, w, h);
    if (shown.pixels.empty()) continue;
    if (blank == BlankImages::Refuse && IsFullyTransparent(shown)) continue;
    result.imageIndex = index;
    result.width = w;
    result.height = h;
    // Stored bytes only when they are a whole, valid PNG; else the pixels
    // that decoded are encoded again.
    if (asStored && d.isPng && IsCompletePng(images[index])) {
      result.png.assign(images[index].data(), images[index].data() + images[index].size());
      result.storedBytes = true;
      return result;
    }
    PngEncodeResult encoded = EncodePng(shown);
    if (!encoded.ok()) {
      result.error = ThumbnailError::EncodeFailed;
      return result;
    }
    result.png = std::move(encoded.bytes);
    return result;
  }
  result.error = anyDecoded ? ThumbnailError::Blank : ThumbnailError::Undecodable;
  return result;
}

}  // namespace vantorico

#include "iconlib/images/thumbnail_pipeline.h"

#include <optional>
#include <utility>

#include "iconlib/formats/png_header.h"
#include "iconlib/images/dib_decoder.h"
#include "iconlib/images/image_choice.h"
#include "iconlib/images/png_codec.h"
#include "iconlib/images/png_validation.h"
#include "iconlib/images/rgba_scale.h"

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

// The size an image of width x height is shown at for size.
void ShownSize(uint32_t width, uint32_t height, uint32_t size, SmallImages small, uint32_t* w,
               uint32_t* h) {
  *w = width;
  *h = height;
  if (size != 0) FitInside(width, height, size, w, h);
  if (small == SmallImages::KeepSize && (*w > width || *h > height)) {
    *w = width;
    *h = height;
  }
}

// Whether an image of width x height is shown smaller (ShownSize: w x h).
bool Shrinks(uint32_t width, uint32_t height, uint32_t size, SmallImages small, uint32_t* w,
             uint32_t* h) {
  ShownSize(width, height, size, small, w, h);
  return *w <= width && *h <= height && !(*w == width && *h == height);
}

// Scales an image shown smaller than it is as its rows are decoded, so that
// only the output and a band of rows are ever in memory. Begin refuses any
// other image: one shown at its own size or larger is decoded whole.
class ShrinkingSink : public RgbaRowSink {
 public:
  ShrinkingSink(uint32_t size, SmallImages small) : size_(size), small_(small) {}
  bool Begin(uint32_t width, uint32_t height) override {
    uint32_t w = 0, h = 0;
    if (!Shrinks(width, height, size_, small_, &w, &h)) return false;
    scaler_.emplace(width, height, w, h);
    return scaler_->valid();
  }
  void TakeRow(const uint8_t* rgba) override { scaler_->TakeRow(rgba); }
  RgbaImage Finish() { return scaler_ ? scaler_->Finish() : RgbaImage(); }

 private:
  uint32_t size_;
  SmallImages small_;
  std::optional<RowScaler> scaler_;
};

enum class RowDecoding { Scaled, Failed, NotShrunk };

RowDecoding DecodeShrinking(ByteSpan bytes, bool isPng, ShrinkingSink* sink) {
  bool refused = false, ok = false;
  if (isPng) {
    const PngCodecError e = DecodePngRows(bytes, sink);
    refused = e == PngCodecError::Refused;
    ok = e == PngCodecError::None;
  } else {
    const DibDecodeError e = DecodeDibRows(bytes, sink);
    refused = e == DibDecodeError::Refused;
    ok = e == DibDecodeError::None;
  }
  if (refused) return RowDecoding::NotShrunk;
  return ok ? RowDecoding::Scaled : RowDecoding::Failed;
}

// The image's own bytes, when they are a whole, valid PNG.
bool TakeStored(ByteSpan image, size_t index, uint32_t w, uint32_t h, Thumbnail* result) {
  if (!IsCompletePng(image)) return false;
  result->imageIndex = index;
  result->width = w;
  result->height = h;
  result->png.assign(image.data(), image.data() + image.size());
  result->storedBytes = true;
  return true;
}

}  // namespace

bool DecodedWhole(ByteSpan image, uint32_t size, SmallImages small) {
  const ImageDescription d = DescribeImage(image);
  uint32_t w = 0, h = 0;
  return !d.usable || !Shrinks(d.width, d.height, size, small, &w, &h) ||
         (d.isPng && IsInterlacedPng(image));
}

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
    uint32_t w = 0, h = 0;
    bool validated = false;  // IsCompletePng said no already
    // A PNG shown at its own size whatever its pixels are is copied, never
    // decoded: the pixels are needed only to refuse a blank one.
    if (blank == BlankImages::Keep && d.isPng && d.usable) {
      ShownSize(d.width, d.height, size, small, &w, &h);
      if (w == d.width && h == d.height) {
        if (TakeStored(images[index], index, w, h, &result)) return result;
        validated = true;
      }
    }
    // Tried row by row when the described size shrinks; Begin checks the size
    // the decoder itself reads.
    ShrinkingSink shrinking(size, small);
    const RowDecoding rows = d.usable && Shrinks(d.width, d.height, size, small, &w, &h)
                                 ? DecodeShrinking(images[index], d.isPng, &shrinking)
                                 : RowDecoding::NotShrunk;
    if (rows == RowDecoding::Failed) continue;
    bool asStored = false;
    RgbaImage shown;
    if (rows == RowDecoding::Scaled) {
      anyDecoded = true;
      shown = shrinking.Finish();
      w = shown.width;
      h = shown.height;
    } else {
      RgbaImage decoded;
      if (!Decode(images[index], d.isPng, &decoded)) continue;
      anyDecoded = true;
      ShownSize(decoded.width, decoded.height, size, small, &w, &h);
      asStored = w == decoded.width && h == decoded.height;
      shown = asStored ? std::move(decoded) : ScaleRgba(decoded, w, h);
    }
    if (shown.pixels.empty()) continue;
    if (blank == BlankImages::Refuse && IsFullyTransparent(shown)) continue;
    result.imageIndex = index;
    result.width = w;
    result.height = h;
    // Stored bytes only when they are a whole, valid PNG; else the pixels
    // that decoded are encoded again.
    if (asStored && d.isPng && !validated && TakeStored(images[index], index, w, h, &result)) {
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

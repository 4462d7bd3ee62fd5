#include "iconlib/images/dib_decoder.h"

#include <vector>

#include "iconlib/formats/dib_arithmetic.h"
#include "iconlib/formats/icon_constants.h"

namespace vantorico {
namespace {

// BI_BITFIELDS: after a 40-byte header three DWORD masks (R, G, B) follow it;
// longer headers hold them at 40, 44, 48, and from 56 bytes an alpha mask at 52.
constexpr size_t kColorMasksSize = 12;
constexpr size_t kRedMaskOffset = 40;
constexpr size_t kGreenMaskOffset = 44;
constexpr size_t kBlueMaskOffset = 48;
constexpr size_t kAlphaMaskOffset = 52;
constexpr uint32_t kHeaderWithColorMasks = 52;
constexpr uint32_t kHeaderWithAlphaMask = 56;
// 16-bit BI_RGB pixels are 5-5-5.
constexpr uint32_t kRed555 = 0x7C00;
constexpr uint32_t kGreen555 = 0x03E0;
constexpr uint32_t kBlue555 = 0x001F;
constexpr uint32_t kMaxPaletteBits = 8;
constexpr uint8_t kOpaque = 0xFF;

// One colour channel of a masked 16- or 32-bit pixel, scaled to 8 bits.
class Channel {
 public:
  explicit Channel(uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    while (((mask >> shift_) & 1u) == 0) ++shift_;
    uint32_t field = mask >> shift_;
    while (field != 0) {
      ++bits_;
      field >>= 1;
    }
  }
  bool present() const { return mask_ != 0; }
  uint8_t Take(uint32_t pixel) const {
    if (mask_ == 0) return 0;
    uint32_t v = (pixel & mask_) >> shift_;
    if (bits_ >= 8) return static_cast<uint8_t>(v >> (bits_ - 8));
    const uint32_t max = (1u << bits_) - 1;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }

 private:
  uint32_t mask_;
  int shift_ = 0;
  int bits_ = 0;
};

struct Masks {
  Channel red{0}, green{0}, blue{0}, alpha{0};
};

uint32_t RowBytes(uint64_t bitsPerPixel, uint64_t width) {
  // width < 2^31 and bitsPerPixel <= 32: at most 2^36 bits, no overflow.
  return static_cast<uint32_t>(((bitsPerPixel * width + kRowPadBits) >> kBitsPerByteShift) &
                               static_cast<uint64_t>(kRowAlignMask));
}

// One row's pixel value at x for 16, 24 and 32 bits (little-endian).
uint32_t PixelAt(const uint8_t* row, uint32_t x, uint32_t bytesPerPixel) {
  const uint8_t* p = row + size_t{x} * bytesPerPixel;
  uint32_t v = 0;
  for (uint32_t i = 0; i < bytesPerPixel; ++i) v |= uint32_t{p[i]} << (8 * i);
  return v;
}

uint32_t IndexAt(const uint8_t* row, uint32_t x, uint32_t bits) {
  const size_t bit = size_t{x} * bits;
  const uint32_t byte = row[bit >> 3];
  const uint32_t shift = 8 - bits - static_cast<uint32_t>(bit & 7);
  return (byte >> shift) & ((1u << bits) - 1);
}

// Where a DIB's pixels are and how they read, once its sizes are checked.
struct DibLayout {
  uint32_t bits = 0, width = 0, height = 0;
  bool topDown = false;
  uint64_t stride = 0, maskStride = 0;
  ByteSpan palette, colorRows, maskRows;
  size_t colorCount = 0;
  Masks masks;
  bool useAlpha = false;  // 32 bits with any non-zero alpha: the AND mask is ignored
};

}  // namespace

const char* DibDecodeErrorName(DibDecodeError error) {
  switch (error) {
    case DibDecodeError::None:
      return "none";
    case DibDecodeError::HeaderTruncated:
      return "header truncated";
    case DibDecodeError::HeaderSizeTooSmall:
      return "header size too small";
    case DibDecodeError::HeaderPastData:
      return "header past data";
    case DibDecodeError::UnsupportedBitCount:
      return "unsupported bit count";
    case DibDecodeError::UnsupportedCompression:
      return "unsupported compression";
    case DibDecodeError::BadWidth:
      return "bad width";
    case DibDecodeError::BadHeight:
      return "bad height";
    case DibDecodeError::ImageTooLarge:
      return "image too large";
    case DibDecodeError::MasksPastData:
      return "masks past data";
    case DibDecodeError::PalettePastData:
      return "palette past data";
    case DibDecodeError::ColorRowsPastData:
      return "colour rows past data";
    case DibDecodeError::MaskRowsPastData:
      return "mask rows past data";
    case DibDecodeError::Refused:
      return "refused by the caller";
  }
  return "unknown";
}

namespace {

DibDecodeError ReadLayout(ByteSpan image, DibLayout* dib) {
  DibHeader h;
  uint32_t compression = 0;
  const ByteCursor header(image);
  if (!ReadDibHeader(image, &h) || !header.PeekU32At(kBiCompressionOffset, &compression)) {
    return DibDecodeError::HeaderTruncated;
  }
  if (h.biSize < kInfoHeaderSize) return DibDecodeError::HeaderSizeTooSmall;
  if (h.biSize > image.size()) return DibDecodeError::HeaderPastData;
  const uint32_t bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return DibDecodeError::UnsupportedBitCount;
  }
  const bool bitfields = compression == kBiBitfields;
  if (compression != kBiRgb && !(bitfields && (bits == 16 || bits == 32))) {
    return DibDecodeError::UnsupportedCompression;
  }
  if (h.biWidth <= 0) return DibDecodeError::BadWidth;
  const int32_t half = HalvedHeight(h.biHeight);  // |half| <= 2^30: negating is safe
  if (half == 0) return DibDecodeError::BadHeight;
  const bool topDown = half < 0;
  const uint32_t width = static_cast<uint32_t>(h.biWidth);
  const uint32_t height = static_cast<uint32_t>(topDown ? -half : half);
  if (uint64_t{width} * height > kMaxDecodedPixels) return DibDecodeError::ImageTooLarge;

  // Everything below is at most 2^32 (offsets, palette) or bounded by the
  // pixel cap (rows), so the 64-bit sums cannot wrap.
  uint64_t offset = h.biSize;
  Masks& masks = dib->masks;
  if (bits == 16 || bits == 32) {
    uint32_t r = bits == 16 ? kRed555 : 0x00FF0000u, g = bits == 16 ? kGreen555 : 0x0000FF00u,
             b = bits == 16 ? kBlue555 : 0x000000FFu, a = bits == 16 ? 0 : 0xFF000000u;
    if (bitfields) {
      const bool afterHeader = h.biSize < kHeaderWithColorMasks;
      // Either way the masks start where a 40-byte header ends.
      if (!header.PeekU32At(kRedMaskOffset, &r) || !header.PeekU32At(kGreenMaskOffset, &g) ||
          !header.PeekU32At(kBlueMaskOffset, &b)) {
        return DibDecodeError::MasksPastData;
      }
      if (afterHeader) offset += kColorMasksSize;
      a = 0;
      if (h.biSize >= kHeaderWithAlphaMask && !header.PeekU32At(kAlphaMaskOffset, &a)) {
        return DibDecodeError::MasksPastData;
      }
    }
    masks.red = Channel(r);
    masks.green = Channel(g);
    masks.blue = Channel(b);
    masks.alpha = Channel(a);
  }
  if (offset > image.size()) return DibDecodeError::MasksPastData;

  uint64_t colors = h.biClrUsed;
  if (colors == 0 && bits <= kMaxPaletteBits) colors = uint64_t{1} << bits;
  const uint64_t paletteBytes = colors * kPaletteEntrySize;  // < 2^34
  ByteSpan palette;
  if (paletteBytes > image.size() - offset ||
      !image.Slice(static_cast<size_t>(offset), static_cast<size_t>(paletteBytes), &palette)) {
    return DibDecodeError::PalettePastData;
  }
  offset += palette.size();

  const uint64_t stride = RowBytes(bits, width);
  const uint64_t maskStride = RowBytes(1, width);
  ByteSpan colorRows, maskRows;
  const uint64_t room = image.size() - offset;
  if (stride > room / height) return DibDecodeError::ColorRowsPastData;
  if (!image.Slice(static_cast<size_t>(offset), static_cast<size_t>(stride * height), &colorRows)) {
    return DibDecodeError::ColorRowsPastData;
  }
  offset += colorRows.size();
  if (maskStride > (image.size() - offset) / height ||
      !image.Slice(static_cast<size_t>(offset), static_cast<size_t>(maskStride * height),
                   &maskRows)) {
    return DibDecodeError::MaskRowsPastData;
  }

  // 32-bit images use their alpha unless every pixel's alpha is zero.
  bool useAlpha = false;
  if (bits == 32 && masks.alpha.present()) {
    for (size_t i = 0; i + 4 <= colorRows.size() && !useAlpha; i += 4) {
      useAlpha = masks.alpha.Take(PixelAt(colorRows.data() + i, 0, 4)) != 0;
    }
  }

  dib->bits = bits;
  dib->width = width;
  dib->height = height;
  dib->topDown = topDown;
  dib->stride = stride;
  dib->maskStride = maskStride;
  dib->palette = palette;
  dib->colorRows = colorRows;
  dib->maskRows = maskRows;
  dib->colorCount = static_cast<size_t>(palette.size() / kPaletteEntrySize);
  dib->useAlpha = useAlpha;
  return DibDecodeError::None;
}

// Row y of the image, top row first, as straight RGBA (width x 4 bytes):
// what both the whole and the row by row decoding write.
bool ConvertRow(const DibLayout& dib, uint32_t y, uint8_t* dst) {
  const uint32_t r = dib.topDown ? y : dib.height - 1 - y;  // the stored row
  ByteSpan row, maskRow;
  if (!dib.colorRows.Slice(size_t{r} * dib.stride, static_cast<size_t>(dib.stride), &row) ||
      !dib.maskRows.Slice(size_t{r} * dib.maskStride, static_cast<size_t>(dib.maskStride),
                          &maskRow)) {
    return false;  // cannot happen: ReadLayout checked the sizes
  }
  const uint32_t bits = dib.bits;
  for (uint32_t x = 0; x < dib.width; ++x, dst += 4) {
    uint8_t alpha = kOpaque;
    if (bits <= kMaxPaletteBits) {
      const size_t index = IndexAt(row.data(), x, bits);
      dst[0] = dst[1] = dst[2] = 0;  // an index past the palette is black
      if (index < dib.colorCount) {
        const uint8_t* entry = dib.palette.data() + index * kPaletteEntrySize;  // B, G, R, reserved
        dst[0] = entry[2];
        dst[1] = entry[1];
        dst[2] = entry[0];
      }
    } else if (bits == 24) {
      const uint8_t* p = row.data() + size_t{x} * 3;
      dst[0] = p[2];
      dst[1] = p[1];
      dst[2] = p[0];
    } else {
      const uint32_t v = PixelAt(row.data(), x, bits / 8);
      dst[0] = dib.masks.red.Take(v);
      dst[1] = dib.masks.green.Take(v);
      dst[2] = dib.masks.blue.Take(v);
      if (dib.useAlpha) alpha = dib.masks.alpha.Take(v);
    }
    if (!dib.useAlpha && IndexAt(maskRow.data(), x, 1) != 0) alpha = 0;
    dst[3] = alpha;
  }
  return true;
}

}  // namespace

DibDecodeResult DecodeDib(ByteSpan image) {
  DibDecodeResult result;
  DibLayout dib;
  result.error = ReadLayout(image, &dib);
  if (!result.ok()) return result;
  RgbaImage& out = result.image;
  out.width = dib.width;
  out.height = dib.height;
  out.pixels.resize(size_t{dib.width} * dib.height * 4);
  for (uint32_t y = 0; y < dib.height; ++y) {
    if (!ConvertRow(dib, y, out.pixels.data() + size_t{y} * dib.width * 4)) {
      result.image = RgbaImage();  // a refusal never hands out pixels
      result.error = DibDecodeError::ColorRowsPastData;
      return result;
    }
  }
  return result;
}

DibDecodeError DecodeDibRows(ByteSpan image, RgbaRowSink* sink) {
  DibLayout dib;
  const DibDecodeError error = ReadLayout(image, &dib);
  if (error != DibDecodeError::None) return error;
  if (!sink->Begin(dib.width, dib.height)) return DibDecodeError::Refused;
  std::vector<uint8_t> row(size_t{dib.width} * 4);
  for (uint32_t y = 0; y < dib.height; ++y) {
    if (!ConvertRow(dib, y, row.data())) return DibDecodeError::ColorRowsPastData;
    sink->TakeRow(row.data());
  }
  return DibDecodeError::None;
}

}  // namespace vantorico

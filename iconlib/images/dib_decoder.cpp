#include "iconlib/images/dib_decoder.h"

#include <utility>

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
  }
  return "unknown";
}

DibDecodeResult DecodeDib(ByteSpan image) {
  DibDecodeResult result;
  auto fail = [&result](DibDecodeError e) {
    result.error = e;
    result.image = RgbaImage();  // a refusal never hands out pixels
    return std::move(result);
  };
  DibHeader h;
  uint32_t compression = 0;
  const ByteCursor header(image);
  if (!ReadDibHeader(image, &h) || !header.PeekU32At(kBiCompressionOffset, &compression)) {
    return fail(DibDecodeError::HeaderTruncated);
  }
  if (h.biSize < kInfoHeaderSize) return fail(DibDecodeError::HeaderSizeTooSmall);
  if (h.biSize > image.size()) return fail(DibDecodeError::HeaderPastData);
  const uint32_t bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return fail(DibDecodeError::UnsupportedBitCount);
  }
  const bool bitfields = compression == kBiBitfields;
  if (compression != kBiRgb && !(bitfields && (bits == 16 || bits == 32))) {
    return fail(DibDecodeError::UnsupportedCompression);
  }
  if (h.biWidth <= 0) return fail(DibDecodeError::BadWidth);
  const int32_t half = HalvedHeight(h.biHeight);  // |half| <= 2^30: negating is safe
  if (half == 0) return fail(DibDecodeError::BadHeight);
  const bool topDown = half < 0;
  const uint32_t width = static_cast<uint32_t>(h.biWidth);
  const uint32_t height = static_cast<uint32_t>(topDown ? -half : half);
  if (uint64_t{width} * height > kMaxDecodedPixels) return fail(DibDecodeError::ImageTooLarge);

  // Everything below is at most 2^32 (offsets, palette) or bounded by the
  // pixel cap (rows), so the 64-bit sums cannot wrap.
  uint64_t offset = h.biSize;
  Masks masks;
  if (bits == 16 || bits == 32) {
    uint32_t r = bits == 16 ? kRed555 : 0x00FF0000u, g = bits == 16 ? kGreen555 : 0x0000FF00u,
             b = bits == 16 ? kBlue555 : 0x000000FFu, a = bits == 16 ? 0 : 0xFF000000u;
    if (bitfields) {
      const bool afterHeader = h.biSize < kHeaderWithColorMasks;
      // Either way the masks start where a 40-byte header ends.
      if (!header.PeekU32At(kRedMaskOffset, &r) || !header.PeekU32At(kGreenMaskOffset, &g) ||
          !header.PeekU32At(kBlueMaskOffset, &b)) {
        return fail(DibDecodeError::MasksPastData);
      }
      if (afterHeader) offset += kColorMasksSize;
      a = 0;
      if (h.biSize >= kHeaderWithAlphaMask && !header.PeekU32At(kAlphaMaskOffset, &a)) {
        return fail(DibDecodeError::MasksPastData);
      }
    }
    masks.red = Channel(r);
    masks.green = Channel(g);
    masks.blue = Channel(b);
    masks.alpha = Channel(a);
  }
  if (offset > image.size()) return fail(DibDecodeError::MasksPastData);

  uint64_t colors = h.biClrUsed;
  if (colors == 0 && bits <= kMaxPaletteBits) colors = uint64_t{1} << bits;
  const uint64_t paletteBytes = colors * kPaletteEntrySize;  // < 2^34
  ByteSpan palette;
  if (paletteBytes > image.size() - offset ||
      !image.Slice(static_cast<size_t>(offset), static_cast<size_t>(paletteBytes), &palette)) {
    return fail(DibDecodeError::PalettePastData);
  }
  offset += palette.size();

  const uint64_t stride = RowBytes(bits, width);
  const uint64_t maskStride = RowBytes(1, width);
  ByteSpan colorRows, maskRows;
  const uint64_t room = image.size() - offset;
  if (stride > room / height) return fail(DibDecodeError::ColorRowsPastData);
  if (!image.Slice(static_cast<size_t>(offset), static_cast<size_t>(stride * height), &colorRows)) {
    return fail(DibDecodeError::ColorRowsPastData);
  }
  offset += colorRows.size();
  if (maskStride > (image.size() - offset) / height ||
      !image.Slice(static_cast<size_t>(offset), static_cast<size_t>(maskStride * height),
                   &maskRows)) {
    return fail(DibDecodeError::MaskRowsPastData);
  }

  // 32-bit images use their alpha unless every pixel's alpha is zero.
  bool useAlpha = false;
  if (bits == 32 && masks.alpha.present()) {
    for (size_t i = 0; i + 4 <= colorRows.size() && !useAlpha; i += 4) {
      useAlpha = masks.alpha.Take(PixelAt(colorRows.data() + i, 0, 4)) != 0;
    }
  }

  RgbaImage& out = result.image;
  out.width = width;
  out.height = height;
  out.pixels.assign(size_t{width} * height * 4, 0);
  const size_t colorCount = static_cast<size_t>(palette.size() / kPaletteEntrySize);
  for (uint32_t r = 0; r < height; ++r) {
    const uint32_t y = topDown ? r : height - 1 - r;
    ByteSpan row, maskRow;
    if (!colorRows.Slice(size_t{r} * stride, static_cast<size_t>(stride), &row) ||
        !maskRows.Slice(size_t{r} * maskStride, static_cast<size_t>(maskStride), &maskRow)) {
      return fail(DibDecodeError::ColorRowsPastData);  // cannot happen: sizes checked above
    }
    uint8_t* dst = out.pixels.data() + size_t{y} * width * 4;
    for (uint32_t x = 0; x < width; ++x, dst += 4) {
      uint8_t alpha = kOpaque;
      if (bits <= kMaxPaletteBits) {
        const size_t index = IndexAt(row.data(), x, bits);
        if (index < colorCount) {
          const uint8_t* entry = palette.data() + index * kPaletteEntrySize;  // B, G, R, reserved
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
        dst[0] = masks.red.Take(v);
        dst[1] = masks.green.Take(v);
        dst[2] = masks.blue.Take(v);
        if (useAlpha) alpha = masks.alpha.Take(v);
      }
      if (!useAlpha && IndexAt(maskRow.data(), x, 1) != 0) alpha = 0;
      dst[3] = alpha;
    }
  }
  return result;
}

}  // namespace vantorico

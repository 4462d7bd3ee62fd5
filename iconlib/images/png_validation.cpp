#include "iconlib/images/png_validation.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>

#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/png_header.h"
#include "iconlib/images/rgba_image.h"

namespace vantorico {
namespace {

constexpr size_t kChunkHeaderSize = 8;  // length, type
constexpr size_t kChunkCrcSize = 4;
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr uint32_t kIhdrLength = 13;
constexpr uint8_t kMaxFilterType = 4;
constexpr uint8_t kInterlaceAdam7 = 1;
constexpr size_t kInflateBufferSize = 64 * 1024;
// Adam7's seven passes: first column, column step, first row, row step.
constexpr uint32_t kAdam7[7][4] = {{0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4},
                                   {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2}};

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool TypeIs(const uint8_t* type, const char* name) {
  return std::memcmp(type, name, 4) == 0;
}

bool IsLetter(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Bits per sample that a colour type allows.
bool DepthAllowed(uint8_t colorType, uint8_t depth) {
  switch (colorType) {
    case kPngColorTypeGrey:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case kPngColorTypePalette:
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case kPngColorTypeRgb:
    case kPngColorTypeGreyAlpha:
    case kPngColorTypeRgba:
      return depth == 8 || depth == 16;
    default:
      return false;
  }
}

// The filtered rows IHDR describes, pass by pass, walked as the inflated
// bytes come: each row starts with its filter type.
class RowWalk {
 public:
  RowWalk(uint32_t width, uint32_t height, uint32_t bitsPerPixel, bool interlaced) {
    const auto rowBytes = [&](uint64_t w) { return 1 + (w * bitsPerPixel + 7) / 8; };
    if (!interlaced) {
      Add(rowBytes(width), height);
      return;
    }
    for (const auto& p : kAdam7) {
      const uint64_t w = width > p[0] ? (uint64_t{width} - p[0] + p[1] - 1) / p[1] : 0;
      const uint64_t h = height > p[2] ? (uint64_t{height} - p[2] + p[3] - 1) / p[3] : 0;
      if (w && h) Add(rowBytes(w), h);
    }
  }
  uint64_t total() const { return total_; }
  // False at a filter type past 4 or a byte past the last row.
  bool Take(const uint8_t* bytes, size_t count) {
    while (count > 0) {
      if (pass_ >= passes_) return false;
      Pass& p = pass_list_[pass_];
      if (inRow_ == 0 && bytes[0] > kMaxFilterType) return false;
      const uint64_t left = p.rowBytes - inRow_;
      const size_t step = left < count ? static_cast<size_t>(left) : count;
      bytes += step;
      count -= step;
      inRow_ += step;
      if (inRow_ == p.rowBytes) {
        inRow_ = 0;
        if (++row_ == p.rows) {
          row_ = 0;
          ++pass_;
        }
      }
    }
    return true;
  }

 private:
  struct Pass {
    uint64_t rowBytes;
    uint64_t rows;
  };
  void Add(uint64_t rowBytes, uint64_t rows) {
    if (rows == 0) return;
    pass_list_[passes_++] = {rowBytes, rows};
    total_ += rowBytes * rows;
  }
  Pass pass_list_[7] = {};
  size_t passes_ = 0;
  size_t pass_ = 0;
  uint64_t row_ = 0;
  uint64_t inRow_ = 0;
  uint64_t total_ = 0;
};

// Inflates the IDAT payloads in turn and checks what comes out.
class ImageData {
 public:
  explicit ImageData(RowWalk* rows) : rows_(rows) {
    std::memset(&z_, 0, sizeof z_);
    ok_ = inflateInit(&z_) == Z_OK;
    fault_ = ok_ ? PngFault::None : PngFault::BadImageData;
  }
  ~ImageData() {
    if (ok_) inflateEnd(&z_);
  }
  ImageData(const ImageData&) = delete;
  ImageData& operator=(const ImageData&) = delete;

  void Feed(const uint8_t* data, uint32_t size) {
    if (fault_ != PngFault::None || size == 0) return;
    if (ended_) {
      fault_ = PngFault::BadImageData;  // bytes after the end of the stream
      return;
    }
    z_.next_in = const_cast<Bytef*>(data);
    z_.avail_in = size;
    while (z_.avail_in > 0 && fault_ == PngFault::None && !ended_) {
      z_.next_out = buffer_;
      z_.avail_out = sizeof buffer_;
      const int r = inflate(&z_, Z_NO_FLUSH);
      const size_t got = sizeof buffer_ - z_.avail_out;
      produced_ += got;
      if (produced_ > rows_->total()) {
        fault_ = PngFault::WrongDataSize;
      } else if (got && !rows_->Take(buffer_, got)) {
        fault_ = PngFault::BadFilter;
      } else if (r == Z_STREAM_END) {
        ended_ = true;
        if (z_.avail_in > 0) fault_ = PngFault::BadImageData;
      } else if (r != Z_OK && r != Z_BUF_ERROR) {
        fault_ = PngFault::BadImageData;
      } else if (r == Z_BUF_ERROR && got == 0) {
        break;  // wants the next chunk's bytes
      }
    }
  }

  PngFault Finish() {
    if (fault_ != PngFault::None) return fault_;
    if (!ended_) return PngFault::BadImageData;
    return produced_ == rows_->total() ? PngFault::None : PngFault::WrongDataSize;
  }

 private:
  RowWalk* rows_;
  z_stream z_;
  bool ok_ = false;
  bool ended_ = false;
  uint64_t produced_ = 0;
  PngFault fault_;
  uint8_t buffer_[kInflateBufferSize];
};

}  // namespace

const char* PngFaultName(PngFault fault) {
  switch (fault) {
    case PngFault::None:
      return "none";
    case PngFault::NoSignature:
      return "no PNG signature";
    case PngFault::ChunkPastEnd:
      return "a chunk passes the end";
    case PngFault::BadChunkType:
      return "a chunk type is not four letters";
    case PngFault::BadCrc:
      return "a chunk's CRC is wrong";
    case PngFault::IhdrNotFirst:
      return "IHDR is not the first chunk";
    case PngFault::BadIhdr:
      return "IHDR is not sound";
    case PngFault::ChunkOrder:
      return "chunks out of order";
    case PngFault::PaletteMismatch:
      return "the palette does not fit the colour type";
    case PngFault::UnknownCritical:
      return "an unknown critical chunk";
    case PngFault::NoImageData:
      return "no IDAT";
    case PngFault::NoIend:
      return "no IEND";
    case PngFault::DataAfterIend:
      return "bytes after IEND";
    case PngFault::TooMuchAncillary:
      return "too much ancillary data";
    case PngFault::ImageTooLarge:
      return "image too large";
    case PngFault::BadImageData:
      return "the image data is damaged";
    case PngFault::WrongDataSize:
      return "the image data is not the size IHDR says";
    case PngFault::BadFilter:
      return "a row filter is unknown";
  }
  return "unknown";
}

PngFault ValidatePng(ByteSpan png) {
  if (!IsPngImage(png)) return PngFault::NoSignature;
  const uint8_t* const bytes = png.data();
  const size_t size = png.size();
  size_t at = sizeof(kPngSignature);
  bool first = true, havePalette = false, inData = false, dataDone = false;
  uint8_t colorType = 0;
  uint64_t ancillary = 0;
  RowWalk walk(0, 0, 0, false);
  std::unique_ptr<ImageData> data;
  while (true) {
    if (size - at < kChunkHeaderSize) return PngFault::NoIend;
    const uint32_t length = BigEndian32(bytes + at);
    const uint8_t* type = bytes + at + 4;
    if (length > kMaxChunkLength ||
        size - at - kChunkHeaderSize < uint64_t{length} + kChunkCrcSize) {
      return PngFault::ChunkPastEnd;
    }
    for (size_t i = 0; i < 4; ++i) {
      if (!IsLetter(type[i])) return PngFault::BadChunkType;
    }
    const uint8_t* body = type + 4;
    const uint32_t crc = BigEndian32(body + length);
    if (crc32(crc32(0L, Z_NULL, 0), type, 4 + length) != crc) return PngFault::BadCrc;
    at += kChunkHeaderSize + length + kChunkCrcSize;
    const bool isIdat = TypeIs(type, "IDAT");
    if (inData && !isIdat) {
      inData = false;
      dataDone = true;
    }
    if (first) {
      if (!TypeIs(type, "IHDR")) return PngFault::IhdrNotFirst;
      first = false;
      if (length != kIhdrLength) return PngFault::BadIhdr;
      const uint32_t width = BigEndian32(body), height = BigEndian32(body + 4);
      const uint8_t depth = body[8];
      colorType = body[9];
      if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength ||
          !DepthAllowed(colorType, depth) || body[10] != 0 || body[11] != 0 ||
          body[12] > kInterlaceAdam7) {
        return PngFault::BadIhdr;
      }
      if (uint64_t{width} * height > kMaxDecodedPixels) return PngFault::ImageTooLarge;
      const PngHeader header{width, height, depth, colorType};
      walk = RowWalk(width, height, PngBitsPerPixel(header), body[12] == kInterlaceAdam7);
      data.reset(new (std::nothrow) ImageData(&walk));
      if (!data) return PngFault::ImageTooLarge;
      continue;
    }
    if (TypeIs(type, "IHDR")) return PngFault::ChunkOrder;
    if (TypeIs(type, "PLTE")) {
      if (havePalette || inData || dataDone) return PngFault::ChunkOrder;
      if (colorType == kPngColorTypeGrey || colorType == kPngColorTypeGreyAlpha) {
        return PngFault::PaletteMismatch;
      }
      havePalette = true;
    } else if (isIdat) {
      if (dataDone) return PngFault::ChunkOrder;
      if (colorType == kPngColorTypePalette && !havePalette) return PngFault::PaletteMismatch;
      inData = true;
      data->Feed(body, length);
    } else if (TypeIs(type, "IEND")) {
      if (length != 0) return PngFault::ChunkOrder;
      if (!dataDone) return PngFault::NoImageData;
      if (at != size) return PngFault::DataAfterIend;
      return data->Finish();
    } else if (type[0] >= 'A' && type[0] <= 'Z') {
      return PngFault::UnknownCritical;
    } else {
      ancillary += length;
      if (ancillary > kMaxStoredAncillaryBytes) return PngFault::TooMuchAncillary;
    }
  }
}

}  // namespace vantorico

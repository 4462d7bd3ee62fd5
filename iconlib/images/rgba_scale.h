#pragma once
// Resampling straight RGBA images. Portable.
//
// Each axis is filtered on its own: shrinking takes the area average of the
// source pixels each output pixel covers (a box filter with fractional edge
// weights), growing interpolates linearly between the two nearest source
// pixel centres (bilinear; edges clamp). Both work on premultiplied colour in
// floating point, so a transparent pixel's colour never bleeds into its
// neighbours; the result is un-premultiplied and rounded to 8 bits.
#include <cstdint>
#include <deque>
#include <vector>

#include "iconlib/images/rgba_image.h"

namespace vantorico {

// The resampling as the source's rows arrive, top row first: each row is
// premultiplied and filtered across at once, then added to the output rows
// it falls in, and an output row is finished as soon as its last source row
// has been taken. It holds a row of each and the output rows still open (a
// band of one or two when shrinking), never the source.
class RowScaler {
 public:
  // sourceWidth x sourceHeight to width x height. valid() is false when
  // either is empty or the output is over kMaxDecodedPixels.
  RowScaler(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width, uint32_t height);
  bool valid() const { return valid_; }
  // The next source row: sourceWidth x 4 bytes. Rows past the last are ignored.
  void TakeRow(const uint8_t* rgba);
  // The output, once every source row has been taken (else an empty image).
  RgbaImage Finish();

 private:
  struct Tap {
    uint32_t index;
    float weight;
  };
  struct OpenRow {
    uint32_t y;
    size_t nextTap;
    std::vector<float> sum;
  };
  static std::vector<std::vector<Tap>> AxisTaps(uint32_t from, uint32_t to);
  void CloseFinishedRows();

  bool valid_ = false;
  uint32_t sourceWidth_, sourceHeight_;
  uint32_t rowsTaken_ = 0;
  uint32_t nextToOpen_ = 0;
  std::vector<std::vector<Tap>> across_, down_;
  std::vector<float> premultiplied_;  // one source row
  std::vector<float> filtered_;       // that row filtered across: one output row
  std::deque<OpenRow> open_;
  std::vector<std::vector<float>> spare_;  // closed rows' sums, for the next to open
  RgbaImage out_;
};

// The source resampled to width x height (both > 0, at most
// kMaxDecodedPixels together). An empty source or size gives an empty image.
RgbaImage ScaleRgba(const RgbaImage& source, uint32_t width, uint32_t height);

// width x height fitted inside size x size, keeping the aspect ratio (the
// longer side becomes size, the shorter at least 1).
void FitInside(uint32_t width, uint32_t height, uint32_t size, uint32_t* outWidth,
               uint32_t* outHeight);

}  // namespace vantorico

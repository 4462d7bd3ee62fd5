#include "iconlib/images/rgba_scale.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vantorico {
namespace {

uint8_t ToByte(float v) {
  return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

// For each output position along one axis, the source positions (ascending)
// and weights.
std::vector<std::vector<RowScaler::Tap>> RowScaler::AxisTaps(uint32_t from, uint32_t to) {
  std::vector<std::vector<Tap>> taps(to);
  const double scale = static_cast<double>(from) / to;
  for (uint32_t i = 0; i < to; ++i) {
    if (from == to) {
      taps[i].push_back({i, 1.0f});
    } else if (to < from) {
      // Area average over [i * scale, (i + 1) * scale).
      const double begin = i * scale, end = (i + 1) * scale;
      const uint32_t first = static_cast<uint32_t>(std::floor(begin));
      const uint32_t last = std::min(from, static_cast<uint32_t>(std::ceil(end)));
      for (uint32_t j = first; j < last; ++j) {
        const double overlap = std::min<double>(end, j + 1) - std::max<double>(begin, j);
        if (overlap > 0) taps[i].push_back({j, static_cast<float>(overlap / scale)});
      }
    } else {
      // Linear between the two nearest source pixel centres.
      const double x = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(from - 1));
      const uint32_t j0 = static_cast<uint32_t>(x);
      const uint32_t j1 = std::min(j0 + 1, from - 1);
      const float f = static_cast<float>(x - j0);
      taps[i].push_back({j0, 1.0f - f});
      if (j1 != j0) taps[i].push_back({j1, f});
    }
  }
  return taps;
}

RowScaler::RowScaler(uint32_t sourceWidth, uint32_t sourceHeight, uint32_t width, uint32_t height)
    : sourceWidth_(sourceWidth), sourceHeight_(sourceHeight) {
  if (uint64_t{sourceWidth} * sourceHeight == 0 || width == 0 || height == 0 ||
      uint64_t{width} * height > kMaxDecodedPixels) {
    return;
  }
  valid_ = true;
  across_ = AxisTaps(sourceWidth, width);
  down_ = AxisTaps(sourceHeight, height);
  premultiplied_.resize(size_t{sourceWidth} * 4);
  filtered_.resize(size_t{width} * 4);
  out_.width = width;
  out_.height = height;
  out_.pixels.resize(size_t{width} * height * 4);
}

void RowScaler::TakeRow(const uint8_t* row) {
  if (!valid_ || rowsTaken_ == sourceHeight_) return;
  const uint32_t j = rowsTaken_++;
  // Premultiplied: colour x alpha / 255, alpha 0..255.
  for (size_t i = 0; i < premultiplied_.size(); i += 4) {
    const float a = row[i + 3];
    for (int c = 0; c < 3; ++c) premultiplied_[i + c] = row[i + c] * a / 255.0f;
    premultiplied_[i + 3] = a;
  }
  const float* src = premultiplied_.data();
  float* dst = filtered_.data();
  std::fill(filtered_.begin(), filtered_.end(), 0.0f);
  for (uint32_t x = 0; x < out_.width; ++x) {
    for (const Tap& t : across_[x]) {
      for (int c = 0; c < 4; ++c) dst[x * 4 + c] += src[size_t{t.index} * 4 + c] * t.weight;
    }
  }
  // Output rows open at their first source row; taps ascend, so each one's
  // next tap is this row or a later one.
  while (nextToOpen_ < out_.height &&
         (down_[nextToOpen_].empty() || down_[nextToOpen_].front().index <= j)) {
    std::vector<float> sum;
    if (!spare_.empty()) {
      sum = std::move(spare_.back());
      spare_.pop_back();
    }
    sum.assign(filtered_.size(), 0.0f);
    open_.push_back({nextToOpen_++, 0, std::move(sum)});
  }
  for (OpenRow& open : open_) {
    const std::vector<Tap>& taps = down_[open.y];
    if (open.nextTap == taps.size() || taps[open.nextTap].index != j) continue;
    const float weight = taps[open.nextTap++].weight;
    for (size_t k = 0; k < open.sum.size(); ++k) open.sum[k] += filtered_[k] * weight;
  }
  CloseFinishedRows();
}

// Rows finish in order: the last tap's index does not decrease with y.
void RowScaler::CloseFinishedRows() {
  while (!open_.empty() && open_.front().nextTap == down_[open_.front().y].size()) {
    OpenRow& open = open_.front();
    uint8_t* dst = out_.pixels.data() + size_t{open.y} * out_.width * 4;
    for (uint32_t x = 0; x < out_.width; ++x) {
      const float* p = open.sum.data() + size_t{x} * 4;
      const uint8_t alpha = ToByte(p[3]);
      for (int c = 0; c < 3; ++c) dst[x * 4 + c] = alpha ? ToByte(p[c] * 255.0f / p[3]) : 0;
      dst[x * 4 + 3] = alpha;
    }
    spare_.push_back(std::move(open.sum));
    open_.pop_front();
  }
}

RgbaImage RowScaler::Finish() {
  if (!valid_ || rowsTaken_ != sourceHeight_ || !open_.empty() || nextToOpen_ != out_.height) {
    return RgbaImage();
  }
  valid_ = false;  // the output is handed out once
  return std::move(out_);
}

RgbaImage ScaleRgba(const RgbaImage& source, uint32_t width, uint32_t height) {
  const uint64_t sourcePixels = uint64_t{source.width} * source.height;
  if (source.pixels.size() != sourcePixels * 4) return RgbaImage();
  RowScaler scaler(source.width, source.height, width, height);
  if (!scaler.valid()) return RgbaImage();
  for (uint32_t y = 0; y < source.height; ++y) {
    scaler.TakeRow(source.pixels.data() + size_t{y} * source.width * 4);
  }
  return scaler.Finish();
}

void FitInside(uint32_t width, uint32_t height, uint32_t size, uint32_t* outWidth,
               uint32_t* outHeight) {
  if (width == 0 || height == 0 || size == 0) {
    *outWidth = *outHeight = 0;
    return;
  }
  if (width >= height) {
    *outWidth = size;
    *outHeight =
        static_cast<uint32_t>(std::max<uint64_t>(1, (uint64_t{height} * size + width / 2) / width));
  } else {
    *outHeight = size;
    *outWidth = static_cast<uint32_t>(
        std::max<uint64_t>(1, (uint64_t{width} * size + height / 2) / height));
  }
}

}  // namespace vantorico

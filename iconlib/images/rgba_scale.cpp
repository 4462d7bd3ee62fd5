#include "iconlib/images/rgba_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vantorico {
namespace {

struct Tap {
  uint32_t index;
  float weight;
};

// For each output position along one axis, the source positions and weights.
std::vector<std::vector<Tap>> AxisTaps(uint32_t from, uint32_t to) {
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

uint8_t ToByte(float v) {
  return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

RgbaImage ScaleRgba(const RgbaImage& source, uint32_t width, uint32_t height) {
  RgbaImage out;
  const uint64_t sourcePixels = uint64_t{source.width} * source.height;
  if (sourcePixels == 0 || source.pixels.size() != sourcePixels * 4 || width == 0 || height == 0 ||
      uint64_t{width} * height > kMaxDecodedPixels) {
    return out;
  }
  const std::vector<std::vector<Tap>> across = AxisTaps(source.width, width);
  const std::vector<std::vector<Tap>> down = AxisTaps(source.height, height);
  // Rows first: width x source.height. Each source row is premultiplied
  // (colour x alpha / 255, alpha 0..255) as it is reached, so the working
  // set is one source row of floats, not the whole image.
  std::vector<float> rows(size_t{width} * source.height * 4, 0.0f);
  std::vector<float> pre(size_t{source.width} * 4);
  for (uint32_t y = 0; y < source.height; ++y) {
    const uint8_t* row = source.pixels.data() + size_t{y} * source.width * 4;
    for (size_t i = 0; i < pre.size(); i += 4) {
      const float a = row[i + 3];
      for (int c = 0; c < 3; ++c) pre[i + c] = row[i + c] * a / 255.0f;
      pre[i + 3] = a;
    }
    const float* src = pre.data();
    float* dst = rows.data() + size_t{y} * width * 4;
    for (uint32_t x = 0; x < width; ++x) {
      for (const Tap& t : across[x]) {
        for (int c = 0; c < 4; ++c) dst[x * 4 + c] += src[size_t{t.index} * 4 + c] * t.weight;
      }
    }
  }
  out.width = width;
  out.height = height;
  out.pixels.resize(size_t{width} * height * 4);
  std::vector<float> sum(size_t{width} * 4);
  for (uint32_t y = 0; y < height; ++y) {
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (const Tap& t : down[y]) {
      const float* src = rows.data() + size_t{t.index} * width * 4;
      for (size_t k = 0; k < sum.size(); ++k) sum[k] += src[k] * t.weight;
    }
    uint8_t* dst = out.pixels.data() + size_t{y} * width * 4;
    for (uint32_t x = 0; x < width; ++x) {
      const float* p = sum.data() + size_t{x} * 4;
      const uint8_t alpha = ToByte(p[3]);
      for (int c = 0; c < 3; ++c) dst[x * 4 + c] = alpha ? ToByte(p[c] * 255.0f / p[3]) : 0;
      dst[x * 4 + 3] = alpha;
    }
  }
  return out;
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

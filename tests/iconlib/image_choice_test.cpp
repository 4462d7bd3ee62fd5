// Which image a size gets, and how images are resampled.
#include "iconlib/images/image_choice.h"

#include <gtest/gtest.h>

#include <vector>

#include "iconlib/images/rgba_scale.h"
#include "test_support.h"

namespace vantorico {
namespace {

using testing::Bytes;

ImageDescription Square(uint32_t extent, uint32_t depth) {
  ImageDescription d;
  d.width = d.height = extent;
  d.bitDepth = depth;
  d.usable = true;
  return d;
}

TEST(ImageChoice, DescribesDibsAndPngsAsTheEngineDoes) {
  const Bytes dib = testing::MakeDib(24, 24, 4, 16);
  const Bytes png = testing::MakePng(256, 128);
  const Bytes junk(10, 0x42);
  const ImageDescription d = DescribeImage(ByteSpan(dib.data(), dib.size()));
  EXPECT_TRUE(d.usable);
  EXPECT_FALSE(d.isPng);
  EXPECT_EQ(d.width, 24u);
  EXPECT_EQ(d.height, 24u);
  EXPECT_EQ(d.bitDepth, 4u);
  const ImageDescription p = DescribeImage(ByteSpan(png.data(), png.size()));
  EXPECT_TRUE(p.usable);
  EXPECT_TRUE(p.isPng);
  EXPECT_EQ(ImageExtent(p), 256u);
  EXPECT_EQ(p.bitDepth, 32u);
  EXPECT_FALSE(DescribeImage(ByteSpan(junk.data(), junk.size())).usable);
}

TEST(ImageChoice, PreferenceOrder) {
  ImageDescription unusable;
  const std::vector<ImageDescription> images = {
      Square(16, 4),  Square(32, 8),   Square(32, 32), unusable,
      Square(48, 32), Square(256, 32), Square(48, 32),
  };
  using V = std::vector<size_t>;
  // Exact (deepest first), then larger from the nearest, then smaller from the largest.
  EXPECT_EQ(ImagePreference(images, 32), (V{2, 1, 4, 6, 5, 0}));
  EXPECT_EQ(ImagePreference(images, 40), (V{4, 6, 5, 2, 1, 0}));
  EXPECT_EQ(ImagePreference(images, 16), (V{0, 2, 1, 4, 6, 5}));
  EXPECT_EQ(ImagePreference(images, 512), (V{5, 4, 6, 2, 1, 0}));
  // Best: largest, then deepest.
  EXPECT_EQ(ImagePreference(images, 0), (V{5, 4, 6, 2, 1, 0}));
  EXPECT_TRUE(ImagePreference({unusable}, 0).empty());
}

TEST(ImageChoice, ChooseImageOverBytes) {
  const Bytes small = testing::MakeDib(16, 16, 8, 256);
  const Bytes deep = testing::MakeDib(32, 32, 32, 0);
  const Bytes shallow = testing::MakeDib(32, 32, 4, 16);
  const std::vector<ByteSpan> images = {ByteSpan(small.data(), small.size()),
                                        ByteSpan(shallow.data(), shallow.size()),
                                        ByteSpan(deep.data(), deep.size())};
  EXPECT_EQ(ChooseImage(images, 16), 0);
  EXPECT_EQ(ChooseImage(images, 32), 2);
  EXPECT_EQ(ChooseImage(images, 20), 2);
  EXPECT_EQ(ChooseImage(images, 0), 2);
  EXPECT_EQ(ChooseImage({}, 16), -1);
}

RgbaImage Image(uint32_t w, uint32_t h, std::vector<uint8_t> pixels) {
  RgbaImage i;
  i.width = w;
  i.height = h;
  i.pixels = std::move(pixels);
  return i;
}

TEST(RgbaScale, AreaAverageOfWholeBlocksIsExact) {
  // 4 x 2 of two 2 x 2 blocks: red and blue, each shrunk to one pixel.
  std::vector<uint8_t> px;
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool left = x < 2;
      px.insert(px.end(), {uint8_t(left ? 200 : 0), 0, uint8_t(left ? 0 : 100), 255});
    }
  const RgbaImage out = ScaleRgba(Image(4, 2, px), 2, 1);
  EXPECT_EQ(out.pixels, (std::vector<uint8_t>{200, 0, 0, 255, 0, 0, 100, 255}));
}

TEST(RgbaScale, TransparentColourDoesNotBleed) {
  // Opaque red beside transparent green: straight averaging would give
  // olive; premultiplied averaging keeps red at half coverage.
  const RgbaImage shrunk = ScaleRgba(Image(2, 1, {255, 0, 0, 255, 0, 255, 0, 0}), 1, 1);
  EXPECT_EQ(shrunk.pixels, (std::vector<uint8_t>{255, 0, 0, 128}));
  // Grown to 4: every pixel that shows is pure red.
  const RgbaImage grown = ScaleRgba(Image(2, 1, {255, 0, 0, 255, 0, 255, 0, 0}), 4, 1);
  ASSERT_EQ(grown.pixels.size(), 16u);
  const uint8_t alphas[4] = {255, 191, 64, 0};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(grown.pixels[x * 4 + 3], alphas[x]) << x;
    if (alphas[x] != 0) {
      EXPECT_EQ(grown.pixels[x * 4 + 0], 255) << x;
      EXPECT_EQ(grown.pixels[x * 4 + 1], 0) << x;
    }
  }
}

TEST(RgbaScale, UniformImagesStayUniformAtAnySize) {
  const RgbaImage one = Image(3, 5, std::vector<uint8_t>(3 * 5 * 4, 0));
  RgbaImage src = one;
  for (size_t i = 0; i < src.pixels.size(); i += 4) {
    src.pixels[i] = 10;
    src.pixels[i + 1] = 20;
    src.pixels[i + 2] = 30;
    src.pixels[i + 3] = 77;
  }
  for (uint32_t w : {1u, 2u, 3u, 7u, 64u}) {
    for (uint32_t h : {1u, 4u, 5u, 11u}) {
      const RgbaImage out = ScaleRgba(src, w, h);
      ASSERT_EQ(out.pixels.size(), size_t{w} * h * 4);
      for (size_t i = 0; i < out.pixels.size(); i += 4) {
        ASSERT_EQ(out.pixels[i], 10) << w << "x" << h;
        ASSERT_EQ(out.pixels[i + 1], 20);
        ASSERT_EQ(out.pixels[i + 2], 30);
        ASSERT_EQ(out.pixels[i + 3], 77);
      }
    }
  }
}

TEST(RgbaScale, RefusesWhatItCannotDo) {
  EXPECT_TRUE(ScaleRgba(RgbaImage(), 4, 4).pixels.empty());
  EXPECT_TRUE(ScaleRgba(Image(1, 1, {1, 2, 3, 4}), 0, 4).pixels.empty());
  EXPECT_TRUE(ScaleRgba(Image(2, 2, {1, 2, 3, 4}), 4, 4).pixels.empty());  // too few bytes
  EXPECT_TRUE(ScaleRgba(Image(1, 1, {1, 2, 3, 4}), 65536, 65536).pixels.empty());
}

TEST(RgbaScale, FitInsideKeepsTheAspect) {
  uint32_t w = 0, h = 0;
  FitInside(256, 128, 64, &w, &h);
  EXPECT_EQ(w, 64u);
  EXPECT_EQ(h, 32u);
  FitInside(1, 1000, 16, &w, &h);
  EXPECT_EQ(w, 1u);
  EXPECT_EQ(h, 16u);
  FitInside(48, 48, 256, &w, &h);
  EXPECT_EQ(w, 256u);
  EXPECT_EQ(h, 256u);
}

}  // namespace
}  // namespace vantorico

#include "tests/shell/tray/ico_bytes.h"

#include "base/byte_cursor.h"

namespace vantorico::testing_support {
namespace {

void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

std::vector<uint8_t> Image(const IcoImageSpec& shape) {
  std::vector<uint8_t> image;
  const uint32_t n = static_cast<uint32_t>(shape.pixels);
  const uint32_t colorStride = ((n * shape.bitCount + 31) / 32) * 4;
  const uint32_t maskStride = ((n + 31) / 32) * 4;
  const uint32_t paletteEntries = shape.bitCount <= 8 ? (1u << shape.bitCount) : 0;
  Put32(image, 40);
  Put32(image, n);
  Put32(image, 2 * n);
  Put16(image, 1);
  Put16(image, shape.bitCount);
  Put32(image, 0);
  Put32(image, colorStride * n + maskStride * n);
  for (int i = 0; i < 4; ++i) Put32(image, 0);
  for (uint32_t i = 0; i < paletteEntries; ++i) Put32(image, i * 0x010101u);
  // A diagonal so that the picture is not blank; the mask is all opaque.
  for (uint32_t y = 0; y < n; ++y) {
    std::vector<uint8_t> row(colorStride, 0x40);
    if (shape.bitCount == 32) row[(y % n) * 4 + 3] = 0xFF;
    image.insert(image.end(), row.begin(), row.end());
  }
  image.insert(image.end(), static_cast<size_t>(maskStride) * n, 0);
  return image;
}

}  // namespace

std::vector<uint8_t> MakeIcoFile(const std::vector<IcoImageSpec>& images) {
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 1);
  Put16(file, static_cast<uint16_t>(images.size()));
  std::vector<std::vector<uint8_t>> bodies;
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const IcoImageSpec& shape : images) {
    bodies.push_back(Image(shape));
    file.push_back(shape.width);
    file.push_back(shape.width);
    file.push_back(shape.colorCount);
    file.push_back(0);
    Put16(file, 1);
    Put16(file, shape.bitCount);
    Put32(file, static_cast<uint32_t>(bodies.back().size()));
    Put32(file, offset);
    offset += static_cast<uint32_t>(bodies.back().size());
  }
  for (const auto& body : bodies) file.insert(file.end(), body.begin(), body.end());
  return file;
}

uint32_t ImageOffset(const std::vector<uint8_t>& file, int i) {
  uint32_t offset = 0;
  ByteCursor(file.data(), file.size()).PeekU32At(6 + 16 * static_cast<size_t>(i) + 12, &offset);
  return offset;
}

}  // namespace vantorico::testing_support

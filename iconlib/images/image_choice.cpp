#include "iconlib/images/image_choice.h"

#include <algorithm>

#include "iconlib/formats/image_fields.h"

namespace vantorico {

ImageDescription DescribeImage(ByteSpan image) {
  ImageDescription d;
  IconImageEntry entry{};
  // DeriveImageFields only reads through data.
  entry.data = const_cast<uint8_t*>(image.data());
  entry.dataSize = static_cast<uint32_t>(std::min<size_t>(image.size(), UINT32_MAX));
  if (!DeriveImageFields(&entry)) return d;
  d.isPng = IsPngEntry(entry);
  if (entry.width <= 0 || entry.height <= 0) return d;
  d.width = static_cast<uint32_t>(entry.width);
  d.height = static_cast<uint32_t>(entry.height);
  d.bitDepth = entry.bitDepth;
  d.usable = true;
  return d;
}

uint32_t ImageExtent(const ImageDescription& image) {
  return std::max(image.width, image.height);
}

std::vector<size_t> ImagePreference(const std::vector<ImageDescription>& images, uint32_t size) {
  std::vector<size_t> order;
  for (size_t i = 0; i < images.size(); ++i) {
    if (images[i].usable) order.push_back(i);
  }
  // Rank 0: exact, 1: larger, 2: smaller; within a rank by distance from size.
  auto rank = [size](const ImageDescription& d) {
    const uint32_t e = ImageExtent(d);
    if (size == 0 || e == size) return 0;
    return e > size ? 1 : 2;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const ImageDescription& da = images[a];
    const ImageDescription& db = images[b];
    const int ra = rank(da), rb = rank(db);
    if (ra != rb) return ra < rb;
    const uint32_t ea = ImageExtent(da), eb = ImageExtent(db);
    if (ea != eb) return ra == 1 ? ea < eb : ea > eb;
    return da.bitDepth > db.bitDepth;
  });
  return order;
}

int64_t ChooseImage(const std::vector<ByteSpan>& images, uint32_t size) {
  std::vector<ImageDescription> described;
  described.reserve(images.size());
  for (const ByteSpan& image : images) described.push_back(DescribeImage(image));
  const std::vector<size_t> order = ImagePreference(described, size);
  return order.empty() ? -1 : static_cast<int64_t>(order.front());
}

}  // namespace vantorico

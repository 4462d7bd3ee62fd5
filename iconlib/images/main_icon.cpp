#include "iconlib/images/main_icon.h"

#include <new>

#include "base/number_text.h"
#include "iconlib/formats/icon_constants.h"
#include "iconlib/formats/icon_source.h"
#include "iconlib/images/rgba_image.h"

namespace vantorico {
namespace {

struct Priority {
  uint16_t width;
  uint16_t bitCount;
};

// RetDec's list (YARA's), best first.
constexpr Priority kPriorities[] = {{32, 32},  {24, 32}, {48, 32},  {32, 8}, {16, 32}, {64, 32},
                                    {24, 8},   {48, 8},  {16, 8},   {64, 8}, {96, 32}, {96, 8},
                                    {128, 32}, {128, 8}, {256, 32}, {256, 8}};
constexpr size_t kPriorityCount = sizeof kPriorities / sizeof kPriorities[0];

constexpr uint32_t kDibHeaderSize = 40;
constexpr uint32_t kMaxHashedWidth = 512;  // RetDec refuses wider DIBs
constexpr int kSide = 8;
constexpr unsigned kGreyThreshold = 128;

struct Rgb {
  uint32_t r = 0, g = 0, b = 0;
};

// Rows from the bottom, as RetDec keeps them.
struct Picture {
  size_t width = 0;
  size_t height = 0;
  std::vector<Rgb> pixels;
  Rgb& at(size_t row, size_t column) { return pixels[row * width + column]; }
};

bool ReadDib(ByteSpan image, Picture* out) {
  const ByteCursor c(image);
  uint32_t size = 0, width = 0, height = 0, compression = 0, used = 0;
  uint16_t planes = 0, bits = 0;
  if (!c.PeekU32At(0, &size) || !c.PeekU32At(4, &width) || !c.PeekU32At(8, &height) ||
      !c.PeekU16At(12, &planes) || !c.PeekU16At(14, &bits) || !c.PeekU32At(16, &compression) ||
      !c.PeekU32At(32, &used)) {
    return false;
  }
  if (size != kDibHeaderSize || planes != 1 || compression != 0 || width > kMaxHashedWidth ||
      uint64_t{width} * 2 != height) {
    return false;
  }
  uint32_t colors = 0;
  switch (bits) {
    case 1:
    case 4:
    case 8:
      colors = 1u << bits;
      if (used != 0 && used != colors) return false;
      break;
    case 24:
    case 32:
      if (used != 0) return false;
      break;
    default:
      return false;
  }
  const size_t rows = height / 2;
  const size_t stride = ((size_t{bits} * width + 31) / 32) * 4;
  ByteSpan palette, bitsSpan;
  if (!image.Slice(kDibHeaderSize, size_t{colors} * 4, &palette) ||
      !image.Slice(kDibHeaderSize + size_t{colors} * 4, stride * rows, &bitsSpan)) {
    return false;
  }
  out->width = width;
  out->height = rows;
  out->pixels.assign(size_t{width} * rows, Rgb());
  const uint8_t* p = palette.data();
  for (size_t y = 0; y < rows; ++y) {
    const uint8_t* row = bitsSpan.data() + y * stride;
    for (size_t x = 0; x < width; ++x) {
      Rgb& px = out->at(y, x);
      if (bits >= 24) {
        const uint8_t* q = row + x * (bits / 8);
        px = {q[2], q[1], q[0]};
        continue;
      }
      const size_t bit = x * bits;
      const unsigned index =
          (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);  // most significant first
      px = {p[index * 4 + 2], p[index * 4 + 1], p[index * 4]};
    }
  }
  return true;
}

bool ReadPng(ByteSpan image, PngPixelsDecoder decodePng, Picture* out) {
  RgbaImage rgba;
  if (!decodePng || !decodePng(image, &rgba)) return false;
  out->width = rgba.width;
  out->height = rgba.height;
  out->pixels.assign(size_t{rgba.width} * rgba.height, Rgb());
  for (size_t y = 0; y < rgba.height; ++y) {
    const uint8_t* row = rgba.pixels.data() + (rgba.height - 1 - y) * rgba.width * 4;
    for (size_t x = 0; x < rgba.width; ++x)
      out->at(y, x) = {row[x * 4], row[x * 4 + 1], row[x * 4 + 2]};
  }
  return true;
}

// The mean of n pixels from a start, n cut to what is there (RetDec's
// averageRowPixels and averageColumnPixels).
template <typename At>
Rgb Mean(size_t start, size_t n, size_t length, At at) {
  if (start + n > length) n = length - start;
  Rgb sum;
  for (size_t i = 0; i < n; ++i) {
    const Rgb& p = at(start + i);
    sum.r += p.r;
    sum.g += p.g;
    sum.b += p.b;
  }
  return {static_cast<uint32_t>(sum.r / n), static_cast<uint32_t>(sum.g / n),
          static_cast<uint32_t>(sum.b / n)};
}

// Where each of the 8 boxes along a side of length starts and how long it
// is: RetDec's reduce8x8 gives the extra pixels (length % 8) to every
// "period"-th box from the first while they last.
void Boxes(size_t length, size_t starts[kSide], size_t sizes[kSide]) {
  const size_t box = length / kSide;
  const size_t extra = length % kSide;
  const size_t period = kSide / (kSide - extra);
  size_t offset = 0, left = extra;
  for (size_t i = 0; i < kSide; ++i) {
    const bool wide = i % period == 0 && left > 0;
    starts[i] = offset;
    sizes[i] = box + (wide ? 1 : 0);
    offset += sizes[i];
    if (wide) --left;
  }
}

}  // namespace

size_t MainIconPriorityCount() {
  return kPriorityCount;
}

MainIconChoice ChooseMainIcon(const std::vector<MainIconEntry>& entries) {
  MainIconChoice best;
  size_t bestPriority = kPriorityCount;
  bool found = false;
  uint32_t bestOrder = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    const MainIconEntry& e = entries[i];
    if (!e.present) continue;
    // The first present entry in directory order holds the place until a
    // better priority comes; among equals the earlier RT_ICON stays.
    size_t priority = kPriorityCount;
    if (e.width == e.height) {
      for (size_t j = 0; j < kPriorityCount; ++j) {
        if (kPriorities[j].width == e.width && kPriorities[j].bitCount == e.bitCount) {
          priority = j;
          break;
        }
      }
    }
    const bool earlier = !found || e.order < bestOrder;
    if (!found || priority < bestPriority || (priority == bestPriority && earlier)) {
      found = true;
      bestPriority = priority;
      bestOrder = e.order;
      best.entry = i;
    }
  }
  if (!found) return best;
  best.reason =
      bestPriority < kPriorityCount ? MainIconReason::Priority : MainIconReason::FirstPresent;
  best.priority = bestPriority;
  return best;
}

bool AverageHashOf(ByteSpan image, PngPixelsDecoder decodePng, uint64_t* hash) {
  Picture picture;
  if (!ReadDib(image, &picture) && !ReadPng(image, decodePng, &picture)) return false;
  if (picture.width < kSide || picture.height < kSide) return false;
  size_t xs[kSide], xn[kSide], ys[kSide], yn[kSide];
  Boxes(picture.width, xs, xn);
  Boxes(picture.height, ys, yn);
  // Rows first, then columns, each box's mean an integer, as RetDec reduces.
  std::vector<Rgb> narrow(picture.height * kSide);
  for (size_t y = 0; y < picture.height; ++y) {
    for (size_t x = 0; x < kSide; ++x) {
      narrow[y * kSide + x] = Mean(xs[x], xn[x], picture.width,
                                   [&](size_t i) -> const Rgb& { return picture.at(y, i); });
    }
  }
  uint64_t bits = 0;
  int position = 63;
  for (size_t y = 0; y < kSide; ++y) {
    for (size_t x = 0; x < kSide; ++x) {
      const Rgb p = Mean(ys[y], yn[y], picture.height,
                         [&](size_t i) -> const Rgb& { return narrow[i * kSide + x]; });
      const double grey = p.r * 0.299 + p.g * 0.587 + p.b * 0.114;
      const auto intensity = static_cast<unsigned>(static_cast<uint8_t>(grey + 0.5));
      if (intensity < kGreyThreshold) bits |= uint64_t{1} << position;
      --position;
    }
  }
  *hash = bits;
  return true;
}

std::string AverageHashText(uint64_t hash) {
  return DigitsText(hash, 16, 16);
}

MainIcon FindMainIcon(IconSource& source) {
  MainIcon out;
  std::vector<MainIconEntry> entries;
  std::vector<ByteSpan> images;
  if (source.kind() == SourceKind::Module) {
    ModuleSource& module = *source.module();
    ByteSpan directory;
    if (module.CountNames(kResourceTypeGroupIcon) == 0 ||
        !module.BytesAt(kResourceTypeGroupIcon, 0, &directory)) {
      return out;
    }
    // Where each RT_ICON identifier lies in the resource directory.
    std::vector<uint32_t> orderOf(uint32_t{UINT16_MAX} + 1, UINT32_MAX);
    const uint32_t icons = module.CountNames(kResourceTypeIcon);
    for (uint32_t i = 0; i < icons; ++i) {
      ResourceName name;
      if (module.NameAt(kResourceTypeIcon, i, &name) && !name.isText &&
          orderOf[name.id] == UINT32_MAX) {
        orderOf[name.id] = i;
      }
    }
    const ByteCursor c(directory);
    uint16_t count = 0;
    if (!c.PeekU16At(kGroupCountOffset, &count)) return out;
    for (uint16_t i = 0; i < count; ++i) {
      const size_t at = kGroupHeaderSize + size_t{i} * kGroupEntrySize;
      MainIconEntry e;
      uint16_t id = 0;
      if (!c.PeekU8At(at, &e.width) || !c.PeekU8At(at + 1, &e.height) ||
          !c.PeekU16At(at + 6, &e.bitCount) || !c.PeekU16At(at + kGroupEntryIdOffset, &id)) {
        break;
      }
      ResourceName name;
      name.id = id;
      ByteSpan image;
      e.order = orderOf[id];
      e.present = e.order != UINT32_MAX &&
                  module.FindResourceBytes(name, kResourceTypeIcon, &image) && !image.empty();
      entries.push_back(e);
      images.push_back(image);
    }
  } else if (source.kind() == SourceKind::IconFile) {
    const ByteSpan file = source.FileBytes();
    const ByteCursor c(file);
    uint16_t count = 0;
    if (!c.PeekU16At(kIconFileHeaderFieldSize * 2, &count)) return out;
    for (uint16_t i = 0; i < count; ++i) {
      const size_t at = kIconFileHeaderSize + size_t{i} * kIconFileEntrySize;
      MainIconEntry e;
      uint32_t size = 0, offset = 0;
      if (!c.PeekU8At(at, &e.width) || !c.PeekU8At(at + 1, &e.height) ||
          !c.PeekU16At(at + 6, &e.bitCount) || !c.PeekU32At(at + 8, &size) ||
          !c.PeekU32At(at + 12, &offset)) {
        break;
      }
      ByteSpan image;
      e.order = i;
      e.present = file.Slice(offset, size, &image) && !image.empty();
      entries.push_back(e);
      images.push_back(image);
    }
  } else {
    return out;
  }
  out.choice = ChooseMainIcon(entries);
  if (out.choice.reason == MainIconReason::None) return out;
  out.entry = entries[out.choice.entry];
  const ByteSpan chosen = images[out.choice.entry];
  try {
    out.bytes.assign(chosen.data(), chosen.data() + chosen.size());
  } catch (const std::bad_alloc&) {
    return MainIcon();
  }
  out.found = true;
  return out;
}

}  // namespace vantorico

#include "iconlib/formats/cursor_resources.h"

#include <new>

#include "iconlib/formats/icon_constants.h"

namespace vantorico {
namespace {

// RT_GROUP_CURSOR entry: width, height (doubled), planes, bit count (16 bits
// each), bytes in the resource (32), RT_CURSOR id (16).
constexpr size_t kCursorGroupWidthOffset = 0;
constexpr size_t kCursorGroupHeightOffset = 2;
constexpr size_t kCursorGroupBitCountOffset = 6;
constexpr size_t kCoreHeaderSize = 12;  // BITMAPCOREHEADER
constexpr size_t kCoreWidthOffset = 4;
constexpr size_t kCoreHeightOffset = 6;
constexpr size_t kCoreBitCountOffset = 10;
constexpr uint32_t kRiffTag = 0x46464952;  // "RIFF"
constexpr uint32_t kAconTag = 0x4E4F4341;  // "ACON"
constexpr size_t kRiffFormOffset = 8;
constexpr int32_t kDirectoryZeroSize = 256;  // a directory byte of 0

bool StartsWith(ByteSpan bytes, const uint8_t* prefix, size_t n) {
  if (bytes.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    if (bytes.data()[i] != prefix[i]) return false;
  }
  return true;
}

uint32_t ReadBigEndian32(ByteSpan bytes, size_t at) {
  const uint8_t* p = bytes.data() + at;
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Width, height and bit count from the image's own header, when it has one
// the reader knows; otherwise the fallbacks stay.
void DescribeImage(CursorImage* c) {
  const ByteCursor h(c->image);
  if (StartsWith(c->image, kPngSignature, sizeof kPngSignature) &&
      c->image.size() >= kPngMinimumSize) {
    c->png = true;
    c->width = static_cast<int32_t>(ReadBigEndian32(c->image, kPngIhdrWidthOffset));
    c->height = static_cast<int32_t>(ReadBigEndian32(c->image, kPngIhdrHeightOffset));
    c->bitCount = 32;
    return;
  }
  uint32_t header = 0;
  if (!h.PeekU32At(kBiSizeOffset, &header)) return;
  if (header == kCoreHeaderSize) {
    uint16_t w = 0, hgt = 0, bits = 0;
    if (h.PeekU16At(kCoreWidthOffset, &w) && h.PeekU16At(kCoreHeightOffset, &hgt) &&
        h.PeekU16At(kCoreBitCountOffset, &bits)) {
      c->width = w;
      c->height = hgt / kStoredHeightFactor;
      c->bitCount = bits;
    }
    return;
  }
  uint32_t w = 0, hgt = 0;
  uint16_t bits = 0;
  if (header >= kInfoHeaderSize && h.PeekU32At(kBiWidthOffset, &w) &&
      h.PeekU32At(kBiHeightOffset, &hgt) && h.PeekU16At(kBiBitCountOffset, &bits)) {
    c->width = static_cast<int32_t>(w);
    c->height = static_cast<int32_t>(hgt) / kStoredHeightFactor;
    c->bitCount = bits;
  }
}

void PutU16(std::vector<uint8_t>* out, uint16_t v) {
  out->push_back(static_cast<uint8_t>(v));
  out->push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32(std::vector<uint8_t>* out, uint32_t v) {
  PutU16(out, static_cast<uint16_t>(v));
  PutU16(out, static_cast<uint16_t>(v >> 16));
}

}  // namespace

uint64_t CursorGroup::bytes() const {
  uint64_t total = 0;
  for (const CursorImage& c : images) total += c.image.size();
  return total;
}

GroupFailure ReadCursorGroupAt(ModuleSource& module, uint32_t ordinal, uint64_t byteLimit,
                               CursorGroup* out) {
  out->images.clear();
  ByteSpan directory;
  if (!module.BytesAt(kResourceTypeGroupCursor, ordinal, &directory)) return GroupFailure::NotFound;
  ByteCursor c(directory);
  uint16_t count = 0;
  if (!c.Seek(kGroupCountOffset) || !c.ReadU16(&count)) return GroupFailure::CutShort;
  ByteSpan entries;
  if (!directory.Slice(kGroupHeaderSize, size_t{count} * kGroupEntrySize, &entries)) {
    return GroupFailure::CutShort;
  }
  const ByteCursor e(entries);
  uint64_t total = 0;
  try {
    out->images.reserve(count);
  } catch (const std::bad_alloc&) {
    return GroupFailure::NoMemory;
  }
  for (uint16_t i = 0; i < count; ++i) {
    const size_t at = size_t{i} * kGroupEntrySize;
    uint16_t width = 0, height = 0, bits = 0;
    ResourceName id;
    e.PeekU16At(at + kCursorGroupWidthOffset, &width);
    e.PeekU16At(at + kCursorGroupHeightOffset, &height);
    e.PeekU16At(at + kCursorGroupBitCountOffset, &bits);
    e.PeekU16At(at + kGroupEntryIdOffset, &id.id);
    ByteSpan resource;
    // A resource of the hotspot alone has no image: the group cannot be read.
    if (!module.FindResourceBytes(id, kResourceTypeCursor, &resource) ||
        resource.size() <= kCursorHotspotSize) {
      out->images.clear();
      return GroupFailure::MissingImage;
    }
    CursorImage image;
    const ByteCursor r(resource);
    r.PeekU16At(0, &image.hotspotX);
    r.PeekU16At(sizeof(uint16_t), &image.hotspotY);
    image.image = resource.From(kCursorHotspotSize);
    image.width = width;
    image.height = height / kStoredHeightFactor;
    image.bitCount = bits;
    DescribeImage(&image);
    total += image.image.size();
    if (total > byteLimit) {
      out->images.clear();
      return GroupFailure::OverBudget;
    }
    out->images.push_back(image);
  }
  return GroupFailure::None;
}

bool BuildCursorFile(const CursorGroup& group, std::vector<uint8_t>* out) {
  const uint64_t directory = kIconFileHeaderSize + kCursorFileEntrySize * group.images.size();
  const uint64_t size = directory + group.bytes();
  if (group.images.size() > kMaxImageCount || size > UINT32_MAX) return false;
  try {
    out->clear();
    out->reserve(static_cast<size_t>(size));
    PutU16(out, kIconFileReserved);
    PutU16(out, kCursorFileType);
    PutU16(out, static_cast<uint16_t>(group.images.size()));
    uint32_t offset = static_cast<uint32_t>(directory);
    for (const CursorImage& c : group.images) {
      out->push_back(static_cast<uint8_t>(static_cast<uint32_t>(c.width) & kDirectoryByteMask));
      out->push_back(static_cast<uint8_t>(static_cast<uint32_t>(c.height) & kDirectoryByteMask));
      out->push_back(static_cast<uint8_t>(
          c.bitCount < kDirectoryPaletteDepthLimit ? (1u << c.bitCount) & kDirectoryByteMask : 0));
      out->push_back(0);
      PutU16(out, c.hotspotX);
      PutU16(out, c.hotspotY);
      PutU32(out, static_cast<uint32_t>(c.image.size()));
      PutU32(out, offset);
      offset += static_cast<uint32_t>(c.image.size());
    }
    for (const CursorImage& c : group.images) {
      out->insert(out->end(), c.image.data(), c.image.data() + c.image.size());
    }
  } catch (const std::bad_alloc&) {
    out->clear();
    return false;
  }
  return true;
}

namespace {

// A cursor file, or (icons allowed) an icon file, whose entries' hotspot
// fields are planes and bit count and so are not kept.
bool ReadImageFile(ByteSpan file, bool allowIcons, CursorGroup* out, uint64_t byteLimit) {
  out->images.clear();
  const ByteCursor c(file);
  uint16_t reserved = 1, type = 0, count = 0;
  if (!c.PeekU16At(0, &reserved) || !c.PeekU16At(2, &type) || !c.PeekU16At(4, &count) ||
      reserved != kIconFileReserved ||
      (type != kCursorFileType && !(allowIcons && type == kIconFileTypeIcon))) {
    return false;
  }
  out->icons = type == kIconFileTypeIcon;
  // The whole directory lies in the file before anything is kept for it.
  ByteSpan entries;
  if (!file.Slice(kIconFileHeaderSize, size_t{count} * kCursorFileEntrySize, &entries))
    return false;
  try {
    out->images.reserve(count);
  } catch (const std::bad_alloc&) {
    return false;
  }
  uint64_t total = 0;
  for (uint16_t i = 0; i < count; ++i) {
    uint8_t width = 0, height = 0;
    uint32_t size = 0, offset = 0;
    CursorImage image;
    ByteSpan entry;
    if (!entries.Slice(size_t{i} * kCursorFileEntrySize, kCursorFileEntrySize, &entry)) {
      out->images.clear();
      return false;
    }
    ByteCursor e(entry);
    if (!e.ReadU8(&width) || !e.ReadU8(&height) || !e.Skip(2) || !e.ReadU16(&image.hotspotX) ||
        !e.ReadU16(&image.hotspotY) || !e.ReadU32(&size) || !e.ReadU32(&offset) ||
        !file.Slice(offset, size, &image.image) || (total += size) > byteLimit ||
        total > kMaxIconFileImageBytes) {
      out->images.clear();
      return false;
    }
    if (out->icons) image.hotspotX = image.hotspotY = 0;
    image.width = width ? width : kDirectoryZeroSize;
    image.height = height ? height : kDirectoryZeroSize;
    DescribeImage(&image);
    out->images.push_back(image);
  }
  return true;
}

}  // namespace

bool ReadCursorFile(ByteSpan file, CursorGroup* out, uint64_t byteLimit) {
  return ReadImageFile(file, /*allowIcons=*/false, out, byteLimit);
}

bool ReadIconOrCursorFile(ByteSpan file, CursorGroup* out, uint64_t byteLimit) {
  return ReadImageFile(file, /*allowIcons=*/true, out, byteLimit);
}

bool IsAnimatedCursorBytes(ByteSpan bytes) {
  const ByteCursor c(bytes);
  uint32_t riff = 0, form = 0;
  return c.PeekU32At(0, &riff) && riff == kRiffTag && c.PeekU32At(kRiffFormOffset, &form) &&
         form == kAconTag;
}

}  // namespace vantorico

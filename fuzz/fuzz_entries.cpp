#include "fuzz/fuzz_entries.h"

#include <cstring>
#include <new>
#include <vector>

#include "iconlib/platform/file_io.h"
#include "iconlib/formats/icon_file_reader.h"
#include "iconlib/formats/icon_file_writer.h"
#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/module_source.h"

namespace vantorico {
namespace {

// Bounds one input's work: a hostile directory may list many thousands of groups.
constexpr int32_t kMaxFuzzGroups = 64;
constexpr int32_t kMaxFuzzIconNames = 256;

bool InsideOf(ByteSpan inner, ByteSpan outer) {
  if (inner.empty()) return true;
  const uintptr_t begin = reinterpret_cast<uintptr_t>(outer.data());
  const uintptr_t at = reinterpret_cast<uintptr_t>(inner.data());
  return at >= begin && at - begin <= outer.size() && inner.size() <= outer.size() - (at - begin);
}

// The writer zeroes biSizeImage of every DIB whose header is whole; the
// rest of the bytes must come back unchanged.
bool SameAfterWrite(const IconImageEntry& original, const IconImageEntry& reread) {
  if (original.dataSize != reread.dataSize || original.width != reread.width ||
      original.height != reread.height || original.bitDepth != reread.bitDepth ||
      (original.header == nullptr) != (reread.header == nullptr)) {
    return false;
  }
  const bool zeroed = !IsPngEntry(original) && original.dataSize >= kInfoHeaderSize;
  for (uint32_t b = 0; b < original.dataSize; ++b) {
    const bool in_size_image = zeroed && b >= kBiSizeImageOffset && b < kBiSizeImageOffset + 4;
    const uint8_t expected = in_size_image ? 0 : original.data[b];
    if (reread.data[b] != expected) return false;
  }
  return true;
}

}  // namespace

bool FuzzModuleReader(const uint8_t* data, size_t size) {
  const ByteSpan file(data, size);
  std::unique_ptr<ModuleSource> module = OpenPortableModuleBytes(file);
  if (!module) return true;
  const IconGroupLocation first = LocateIconGroup(*module, 1);
  const int32_t count = first.groupCount;
  if (count < 0 || (count > 0) != first.found) return false;
  if (LocateIconGroup(*module, count + 1).found) return false;
  for (int32_t i = 1; i <= count && i <= kMaxFuzzGroups; ++i) {
    const IconGroupLocation at = LocateIconGroup(*module, i);
    if (!at.found || at.groupCount != count) return false;
    ByteSpan group;
    if (module->FindResourceBytes(at.name, kResourceTypeGroupIcon, &group) &&
        !InsideOf(group, file)) {
      return false;
    }
    IconImageSetPtr set = ReadIconGroupFrom(*module, at.name, "fuzz");
    // By position, the same group comes back (or fails) as by name, unless
    // a name is stored twice and the lookup finds the first.
    GroupFailure why = GroupFailure::None;
    IconImageSetPtr by_position =
        ReadIconGroupAt(*module, static_cast<uint32_t>(i - 1), "fuzz", kMaxGroupImageBytes, &why);
    if (by_position && (why != GroupFailure::None || by_position->imageCount > kMaxImageCount)) {
      return false;
    }
    std::vector<uint8_t> sink;
    if (set && !BuildIconFile(*set, &sink)) return false;
  }
  bool inside = true;
  int32_t seen = 0;
  module->EnumerateNames(kResourceTypeIcon, [&](const ResourceName& name) {
    ByteSpan image;
    if (module->FindResourceBytes(name, kResourceTypeIcon, &image) && !InsideOf(image, file))
      inside = false;
    return ++seen < kMaxFuzzIconNames;
  });
  return inside;
}

bool FuzzIconFileReader(const uint8_t* data, size_t size) {
  IconImageSetPtr set = ReadIconFileBytes(ByteSpan(data, size), "fuzz.ico");
  if (!set) return true;
  std::vector<uint8_t> written;
  bool same = BuildIconFile(*set, &written);
  IconImageSetPtr reread = ReadIconFileBytes(ByteSpan(written.data(), written.size()), "fuzz.ico");
  same = same && reread && reread->imageCount == set->imageCount;
  for (uint32_t i = 0; same && i < set->imageCount; ++i) {
    same = SameAfterWrite(set->images[i], reread->images[i]);
  }
  // Written twice, a set gives the same bytes: the second write changes nothing.
  if (same) {
    std::vector<uint8_t> rewritten;
    same = BuildIconFile(*reread, &rewritten) && rewritten == written;
  }
  return same;
}

}  // namespace vantorico

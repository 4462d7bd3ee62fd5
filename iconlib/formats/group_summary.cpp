#include "iconlib/formats/group_summary.h"

#include "iconlib/formats/animated_file.h"
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/images/icon_hashes.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/language_choice.h"
#include "iconlib/formats/png_header.h"

namespace vantorico {
namespace {

void AddDigests(ByteSpan stored, ImageSummary* image) {
  image->md5 = DigestText(Md5Of(stored));
  image->sha256 = DigestText(Sha256Of(stored));
}

void Summarise(const IconImageSet* set, bool hashes, GroupSummary* group) {
  group->readable = set != nullptr;
  if (!set) return;
  for (uint32_t i = 0; i < set->imageCount; ++i) {
    const IconImageEntry& e = set->images[i];
    const char* format = IsPngEntry(e) ? "PNG" : IsDescribedDib(e) ? "DIB" : "other";
    uint32_t width = e.width > 0 ? static_cast<uint32_t>(e.width) : 0;
    uint32_t height = e.height > 0 ? static_cast<uint32_t>(e.height) : 0;
    PngHeader png;
    if (IsPngEntry(e) && ReadPngHeader(ImageBytes(e), &png)) {
      width = png.width;
      height = png.height;
    }
    group->images.push_back({width, height, e.bitDepth, format, e.dataSize});
    if (hashes) AddDigests(ImageBytes(e), &group->images.back());
  }
}

void SummariseCursors(const CursorGroup& cursors, bool hashes, std::vector<ImageSummary>* out) {
  for (const CursorImage& c : cursors.images) {
    ImageSummary s{static_cast<uint32_t>(c.width > 0 ? c.width : 0),
                   static_cast<uint32_t>(c.height > 0 ? c.height : 0), c.bitCount,
                   c.png ? "PNG" : "DIB", static_cast<uint32_t>(c.image.size())};
    if (!c.png && c.bitCount == 0) s.format = "other";
    s.hasHotspot = !cursors.icons;
    s.hotspotX = c.hotspotX;
    s.hotspotY = c.hotspotY;
    if (hashes) AddDigests(ByteSpan(c.image.data(), c.image.size()), &s);
    out->push_back(s);
  }
}

// An animated file's chunks and each frame's images; false when its RIFF
// cannot be read.
bool SummariseAnimation(ByteSpan file, bool hashes, AnimationSummary* out) {
  AnimatedFile ani;
  if (ReadAnimatedFile(file, &ani) != AnimatedFailure::None) return false;
  out->steps = ani.headerSteps;
  out->displayRate = ani.displayRate;
  out->hasRates = !ani.rates.empty();
  out->hasSequence = !ani.sequence.empty();
  out->rates = ani.rates;
  out->sequence = ani.sequence;
  for (const ByteSpan& frame : ani.frames) {
    FrameSummary f;
    CursorGroup images;
    f.readable = ReadIconOrCursorFile(frame, &images);
    if (f.readable) SummariseCursors(images, hashes, &f.images);
    out->frames.push_back(std::move(f));
  }
  return true;
}

}  // namespace

uint16_t ResourceTypeOf(GroupType type) {
  switch (type) {
    case GroupType::Cursor:
      return kResourceTypeGroupCursor;
    case GroupType::AniCursor:
      return kResourceTypeAniCursor;
    case GroupType::AniIcon:
      return kResourceTypeAniIcon;
    case GroupType::Icon:
      break;
  }
  return kResourceTypeGroupIcon;
}

const char* WordOf(GroupType type) {
  switch (type) {
    case GroupType::Cursor:
      return "cursor";
    case GroupType::AniCursor:
      return "anicursor";
    case GroupType::AniIcon:
      return "aniicon";
    case GroupType::Icon:
      break;
  }
  return "icon";
}

int32_t CountGroups(IconSource& source, GroupType type) {
  return source.CountOf(ResourceTypeOf(type));
}

GroupSummary DescribeGroup(IconSource& source, GroupType type, int32_t index) {
  GroupSummary g;
  g.type = type;
  g.index = index;
  g.named = source.kind() == SourceKind::Module;
  if (!g.named) return g;
  g.orphan = type == GroupType::Icon && source.IsOrphan(index);
  const uint16_t resource = g.orphan ? kResourceTypeIcon : ResourceTypeOf(type);
  const auto ordinal = g.orphan ? source.OrphanOrdinal(index) : static_cast<uint32_t>(index - 1);
  ResourceName name;
  if (source.module()->NameAt(resource, ordinal, &name)) {
    g.textName = name.isText;
    g.id = name.id;
    g.text = name.text;
    g.textCut = name.cut;
  }
  if (!source.module()->LanguagesAt(resource, ordinal, &g.languages, &g.chosenLanguage)) {
    g.languages.clear();
  }
  return g;
}

GroupSummary SummariseGroup(IconSource& source, GroupType type, int32_t index, bool hashes) {
  GroupSummary g = DescribeGroup(source, type, index);
  switch (type) {
    case GroupType::Icon: {
      // Each group is read, summarised and let go before the next.
      GroupRead read = source.ReadGroup(index);
      Summarise(read.set.get(), hashes, &g);
      break;
    }
    case GroupType::Cursor: {
      CursorGroup cursors;
      g.readable = source.ReadCursors(index, &cursors) == GroupFailure::None;
      if (g.readable) SummariseCursors(cursors, hashes, &g.images);
      break;
    }
    case GroupType::AniCursor:
    case GroupType::AniIcon: {
      ByteSpan bytes;
      g.readable = source.AnimatedBytes(ResourceTypeOf(type), index, &bytes) == GroupFailure::None;
      g.bytes = bytes.size();
      g.animated = source.kind() == SourceKind::AnimatedFile;
      if (g.readable && g.animated) g.readable = SummariseAnimation(bytes, hashes, &g.animation);
      break;
    }
  }
  return g;
}

}  // namespace vantorico

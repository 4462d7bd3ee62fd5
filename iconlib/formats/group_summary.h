#pragma once
// What a source's groups are, without formatting: their kinds, names,
// languages and images, read and summarised one group at a time. The
// command line's listings and the library describe groups through it.
#include <cstdint>
#include <string>
#include <vector>

#include "iconlib/formats/icon_source.h"

namespace vantorico {

// The kinds of group a source is read as, with the resource type each
// comes from and the word the listings use for it.
enum class GroupType { Icon, Cursor, AniCursor, AniIcon };
uint16_t ResourceTypeOf(GroupType type);
const char* WordOf(GroupType type);  // "icon", "cursor", "anicursor", "aniicon"

struct ImageSummary {
  uint32_t width;  // a PNG's IHDR may say up to 2^31 - 1
  uint32_t height;
  uint32_t bitDepth;
  const char* format;  // "PNG", "DIB", or "other" for bytes that are neither
  uint32_t bytes;
  bool hasHotspot = false;
  uint16_t hotspotX = 0;
  uint16_t hotspotY = 0;
  std::string md5{};  // of the stored bytes, in hex; empty unless asked for
  std::string sha256{};
};

// One frame of an animated file: an icon or cursor file of its own.
struct FrameSummary {
  bool readable = false;
  std::vector<ImageSummary> images;
};

// What an animated file's chunks say (an animated group read from a module
// is listed by its size alone).
struct AnimationSummary {
  uint32_t steps = 0;        // anih's count
  uint32_t displayRate = 0;  // jiffies (1/60 s) per step
  bool hasRates = false;
  bool hasSequence = false;
  std::vector<uint32_t> rates;
  std::vector<uint32_t> sequence;
  std::vector<FrameSummary> frames;
};

struct GroupSummary {
  GroupType type = GroupType::Icon;
  int32_t index = 0;
  bool named = true;  // a module's group has a name; an icon file's has none
  bool textName = false;
  uint16_t id = 0;
  std::string text;
  bool textCut = false;  // text is the start of a longer name
  bool orphan = false;   // an RT_ICON no group lists (--orphans), named by its own name
  bool readable = false;
  std::vector<ImageSummary> images;
  uint64_t bytes = 0;     // animated resources: their size
  bool animated = false;  // an animated file: animation holds its chunks
  AnimationSummary animation;
  std::vector<uint16_t> languages;  // as stored; empty when the reader knows none
  size_t chosenLanguage = 0;        // which of them extraction takes
};

// How many groups of a type the source has (an icon file: one icon group).
int32_t CountGroups(IconSource& source, GroupType type);
// The name and languages of group index (1-based) of a type, without reading it.
GroupSummary DescribeGroup(IconSource& source, GroupType type, int32_t index);
// The same, with the group read and summarised (drawing on the budget);
// hashes adds each image's digests.
GroupSummary SummariseGroup(IconSource& source, GroupType type, int32_t index, bool hashes);

}  // namespace vantorico

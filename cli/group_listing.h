#pragma once
// A description of the groups of a source, for `vantorico list` and the
// JSON documents of both commands.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/json_writer.h"
#include "iconlib/icon_source.h"

namespace vantorico {

// The kinds of group the command line reads, with the resource type each
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

// JSON schema version of the documents.
constexpr int kListingSchemaVersion = 2;

// One text line per group, the same columns for every kind of source: the
// index, the name (quoted text, identifier, or - for an icon file's group),
// "lang" and the language (- when the source has none), then the images.
// A cut name ends in "..." after its closing quote. withType puts the
// type's word first. An image with digests ends in "md5 HEX sha256 HEX".
std::string FormatGroupText(const GroupSummary& group, bool withType);
// One group as a JSON object; icon files' groups have a null name.
std::string FormatGroupJson(const GroupSummary& group, SourceKind kind);
// The group's "images" as FormatGroupJson writes them.
std::string ImagesJson(const GroupSummary& group);
std::string ImagesJson(const std::vector<ImageSummary>& images);
// The group's "name" (and "name_cut") as FormatGroupJson writes them.
void AddGroupName(JsonObject* out, const GroupSummary& group, SourceKind kind);
// "module", "icon file", "cursor file", "animated file"
std::string KindWord(SourceKind kind);

}  // namespace vantorico

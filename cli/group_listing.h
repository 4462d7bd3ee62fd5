#pragma once
// A description of every icon group of a source, for `vantorico list`.
#include <cstdint>
#include <string>
#include <vector>

#include "iconlib/icon_source.h"

namespace vantorico {

struct ImageSummary {
  int32_t width;
  int32_t height;
  uint32_t bitDepth;
  const char* format;  // "PNG", "DIB", or "other" for bytes that are neither
  uint32_t bytes;
};

struct GroupSummary {
  int32_t index;
  bool textName;
  uint16_t id;
  std::string text;
  bool readable;
  std::vector<ImageSummary> images;
};

// The groups in the order the extractor numbers them.
std::vector<GroupSummary> ListIconGroups(IconSource& source);

// JSON schema version of FormatGroupsJson's document.
constexpr int kListingSchemaVersion = 1;

std::string FormatGroupsText(const std::vector<GroupSummary>& groups);
std::string FormatGroupsJson(const std::string& path, SourceKind kind,
                             const std::vector<GroupSummary>& groups);

}  // namespace vantorico

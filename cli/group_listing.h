#pragma once
// The groups of a source as text and JSON, for `vantorico list` and the
// JSON documents of both commands.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/json_writer.h"
#include "iconlib/formats/group_summary.h"
#include "iconlib/formats/icon_source.h"

namespace vantorico {

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

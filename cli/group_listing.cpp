#include "cli/group_listing.h"

#include <cstdio>

#include "cli/text_escape.h"
#include "iconlib/image_fields.h"

namespace vantorico {
namespace {

void Summarise(const IconImageSet* set, GroupSummary* group) {
  group->readable = set != nullptr;
  if (!set) return;
  for (uint32_t i = 0; i < set->imageCount; ++i) {
    const IconImageEntry& e = set->images[i];
    const char* format = IsPngEntry(e) ? "PNG" : IsDescribedDib(e) ? "DIB" : "other";
    group->images.push_back({e.width, e.height, e.bitDepth, format, e.dataSize});
  }
}

}  // namespace

std::vector<GroupSummary> ListIconGroups(IconSource& source) {
  std::vector<GroupSummary> groups;
  for (int32_t i = 1; i <= source.GroupCount(); ++i) {
    GroupSummary g{i, false, 0, "", false, {}};
    ResourceName name;
    if (source.GroupName(i, &name)) {
      g.textName = name.isText;
      g.id = name.id;
      g.text = name.text;
    }
    // Each group is read, summarised and let go before the next.
    GroupRead read = source.ReadGroup(i);
    Summarise(read.set.get(), &g);
    groups.push_back(std::move(g));
  }
  return groups;
}

std::string FormatGroupsText(const std::vector<GroupSummary>& groups) {
  std::string out;
  char buf[160];
  for (const GroupSummary& g : groups) {
    out += std::to_string(g.index) + "\t";
    out += g.textName ? QuotedText(g.text) : std::to_string(g.id);
    if (!g.readable) {
      out += "\tunreadable\n";
      continue;
    }
    std::snprintf(buf, sizeof(buf), "\t%zu image%s", g.images.size(),
                  g.images.size() == 1 ? "" : "s");
    out += buf;
    for (const ImageSummary& i : g.images) {
      std::snprintf(buf, sizeof(buf), "\t%dx%d %u-bit %s %u bytes", i.width, i.height, i.bitDepth,
                    i.format, i.bytes);
      out += buf;
    }
    out += '\n';
  }
  return out;
}

std::string FormatGroupsJson(const std::string& path, SourceKind kind,
                             const std::vector<GroupSummary>& groups) {
  std::string out = "{\"schema\":" + std::to_string(kListingSchemaVersion) +
                    ",\"file\":" + JsonString(path) +
                    ",\"kind\":" + (kind == SourceKind::Module ? "\"module\"" : "\"icon file\"") +
                    ",\"groups\":[";
  char buf[200];
  for (size_t k = 0; k < groups.size(); ++k) {
    const GroupSummary& g = groups[k];
    if (k) out += ',';
    out += "{\"index\":" + std::to_string(g.index) + ",\"name\":";
    if (g.textName) {
      out += JsonString(g.text);
    } else if (kind == SourceKind::Module) {
      out += std::to_string(g.id);
    } else {
      out += "null";  // an icon file's group has no name
    }
    out += std::string(",\"readable\":") + (g.readable ? "true" : "false") + ",\"images\":[";
    for (size_t i = 0; i < g.images.size(); ++i) {
      const ImageSummary& m = g.images[i];
      std::snprintf(buf, sizeof(buf),
                    "%s{\"width\":%d,\"height\":%d,\"bitDepth\":%u,\"format\":\"%s\",\"bytes\":%u}",
                    i ? "," : "", m.width, m.height, m.bitDepth, m.format, m.bytes);
      out += buf;
    }
    out += "]}";
  }
  return out + "]}\n";
}

}  // namespace vantorico

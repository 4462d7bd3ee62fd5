#include "cli/group_listing.h"

#include <cstdio>

#include "iconlib/icon_file_reader.h"
#include "iconlib/icon_group_reader.h"
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

std::string JsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      // Names may be ANSI bytes rather than UTF-8; each byte stays visible.
      char buf[8];
      std::snprintf(buf, sizeof(buf), "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

bool ListIconGroups(FileKind kind, const char* path, std::vector<GroupSummary>* groups) {
  groups->clear();
  if (kind == FileKind::IconFile) {
    IconImageSet* set = ReadIconFile(path);
    if (!set) return false;
    // An icon file holds one group without a name of its own.
    GroupSummary g{1, true, 0, "", true, {}};
    Summarise(set, &g);
    ReleaseIconImageSet(set);
    groups->push_back(std::move(g));
    return true;
  }
  if (kind != FileKind::Module) return false;
  std::unique_ptr<ModuleSource> module = OpenModuleSource(path);
  if (!module) return false;
  std::vector<ResourceName> names;
  module->EnumerateNames(kResourceTypeGroupIcon, [&](const ResourceName& n) {
    names.push_back(n);
    return true;
  });
  int32_t index = 0;
  for (const ResourceName& n : names) {
    GroupSummary g{++index, n.isText, n.id, n.text, false, {}};
    IconImageSet* set = ReadIconGroupFrom(*module, n, path);
    Summarise(set, &g);
    ReleaseIconImageSet(set);
    groups->push_back(std::move(g));
  }
  return true;
}

std::string FormatGroupsText(const std::vector<GroupSummary>& groups) {
  std::string out;
  char buf[160];
  for (const GroupSummary& g : groups) {
    std::snprintf(buf, sizeof(buf), "%d\t", g.index);
    out += buf;
    out += g.textName ? "\"" + g.text + "\"" : std::to_string(g.id);
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

std::string FormatGroupsJson(const std::string& path, FileKind kind,
                             const std::vector<GroupSummary>& groups) {
  std::string out = "{\"file\":" + JsonString(path) +
                    ",\"kind\":" + (kind == FileKind::Module ? "\"module\"" : "\"icon file\"") +
                    ",\"groups\":[";
  char buf[200];
  for (size_t k = 0; k < groups.size(); ++k) {
    const GroupSummary& g = groups[k];
    if (k) out += ',';
    out += "{\"index\":" + std::to_string(g.index) + ",\"name\":";
    out += g.textName ? JsonString(g.text) : std::to_string(g.id);
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

#include "cli/source_groups.h"

#include <algorithm>

#include "cli/cli_paths.h"

namespace vantorico {

std::vector<GroupType> TypesOf(const Options& o, const IconSource& source) {
  if (source.kind() == SourceKind::Module) return o.types;
  // A cursor or animated file is taken whatever --type says: --type chooses
  // among a module's groups, and such a file has one group of one kind.
  if (source.kind() == SourceKind::CursorFile) return {GroupType::Cursor};
  if (source.kind() == SourceKind::AnimatedFile) return {GroupType::AniCursor};
  std::vector<GroupType> types;
  if (std::find(o.types.begin(), o.types.end(), GroupType::Icon) != o.types.end()) {
    types.push_back(GroupType::Icon);
  }
  return types;
}

bool Selected(const std::vector<Selector>& selectors, IconSource& source, const GroupSummary& g,
              std::vector<bool>* matched) {
  if (selectors.empty()) return true;
  const bool named = source.kind() == SourceKind::Module;
  bool any = false;
  for (size_t i = 0; i < selectors.size(); ++i) {
    const Selector& s = selectors[i];
    bool hit = false;
    if (s.none) continue;
    // An orphan's name is its RT_ICON's, which --id and --name do not mean.
    if (g.orphan && s.kind != Selector::Index) continue;
    switch (s.kind) {
      case Selector::Index:
        hit = g.index == s.index;
        break;
      case Selector::Id:
        hit = named && !g.textName && g.id == s.id;
        break;
      case Selector::Name:
        // The whole stored name, however long (the shown one may be cut).
        hit = named && g.textName &&
              source.module()->NameIs(ResourceTypeOf(g.type), static_cast<uint32_t>(g.index - 1),
                                      s.name);
        break;
    }
    if (hit) {
      (*matched)[i] = true;
      any = true;
    }
  }
  return any;
}

int32_t ForEachSelected(const Options& o, IconSource& source,
                        const std::vector<Selector>& selectors, std::vector<bool>* matched,
                        FunctionRef<void(const GroupSummary& g)> take) {
  *matched = std::vector<bool>(selectors.size(), false);
  if (o.orphans) source.IncludeOrphans();
  int32_t total = 0;
  for (GroupType type : TypesOf(o, source)) {
    const int32_t n = CountGroups(source, type);
    total += n;
    for (int32_t i = 1; i <= n; ++i) {
      const GroupSummary g = DescribeGroup(source, type, i);
      if (Selected(selectors, source, g, matched)) take(g);
    }
  }
  return total;
}

bool ReportUnmatched(const std::vector<Selector>& selectors, const std::vector<bool>& matched,
                     const std::string& file, bool named, RunLog* log) {
  bool any = false;
  for (size_t i = 0; i < selectors.size(); ++i) {
    if (matched[i]) continue;
    any = true;
    // In a folder's files a selection that names nothing is no surprise.
    if (!named && log->verbosity() < 2) continue;
    log->Error(Quote(file) + " has no group that " + selectors[i].spelled + " names");
  }
  return any;
}

std::string NoGroupsText(const Options& o, const std::string& file) {
  if (o.allTypes) return Quote(file) + " has no icon or cursor groups";
  return Quote(file) + " has no " + (o.types[0] == GroupType::Icon ? "icon" : "cursor") + " groups";
}

const char* WhatOf(GroupType type) {
  switch (type) {
    case GroupType::Cursor:
      return "cursor group";
    case GroupType::AniCursor:
      return "animated cursor";
    case GroupType::AniIcon:
      return "animated icon";
    case GroupType::Icon:
      break;
  }
  return "group";
}

JsonObject DocumentHead(const std::string& command, const std::string& file,
                        const std::string& redirectedFrom, const SourceKind* kind) {
  JsonObject doc;
  doc.Number("schema", kListingSchemaVersion).String("command", command).String("file", file);
  if (!redirectedFrom.empty()) doc.String("redirected_from", redirectedFrom);
  if (kind) {
    doc.String("kind", KindWord(*kind));
  } else {
    doc.Null("kind");
  }
  return doc;
}

}  // namespace vantorico

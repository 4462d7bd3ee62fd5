#include "cli/list_command.h"

#include "cli/cli_app.h"
#include "cli/cli_paths.h"
#include "cli/source_groups.h"
#include "cli/text_escape.h"

namespace vantorico {
namespace {

// The groups a listing shows, read and summarised, and what it says of them.
struct Listing {
  std::vector<GroupSummary> groups;
  std::vector<bool> matched;  // per selector: whether it took a group
  int32_t total = 0;          // groups of the kinds asked, selected or not
  size_t unreadable = 0;
  int code = kExitOk;
  std::string problem;
};

Listing ListGroups(const Options& o, IconSource& source, const std::string& file,
                   const std::vector<Selector>& selectors) {
  Listing l;
  l.total = ForEachSelected(o, source, selectors, &l.matched, [&](const GroupSummary& g) {
    l.groups.push_back(SummariseGroup(source, g.type, g.index, o.hashes));
  });
  for (const GroupSummary& g : l.groups) l.unreadable += !g.readable;
  if (l.total == 0) {
    l.problem = NoGroupsText(o, file);
    l.code = kExitNothingToExtract;
  } else if (source.kind() != SourceKind::Module && !l.groups.empty() && !l.groups[0].readable) {
    l.problem = Quote(file) + " is a damaged " + KindWord(source.kind());
    l.code = kExitBadInput;
  } else if (l.unreadable > 0) {
    // The lines say which; the status says that not everything could be read.
    l.problem = Quote(file) + ": " + std::to_string(l.unreadable) + " of " +
                std::to_string(l.groups.size()) + " group" + (l.groups.size() == 1 ? "" : "s") +
                " cannot be read";
    l.code = kExitBadInput;
  }
  return l;
}

std::string ListingDocument(const Options& o, const Listing& l, int code, const std::string& file,
                            const std::string& redirectedFrom, const IconSource& source) {
  const SourceKind kind = source.kind();
  JsonObject doc = DocumentHead(o.command, file, redirectedFrom, &kind);
  doc.Number("status", code);
  if (!l.problem.empty()) doc.String("error", l.problem);
  JsonArray groups;
  for (const GroupSummary& g : l.groups) groups.Json(FormatGroupJson(g, source.kind()));
  return doc.Json("groups", groups.Text()).Text();
}

bool AnyUnmatched(const std::vector<bool>& matched) {
  for (bool m : matched) {
    if (!m) return true;
  }
  return false;
}

}  // namespace

std::string ListDocument(const Options& o, IconSource& source, const std::string& file,
                         const std::string& redirectedFrom,
                         const std::vector<Selector>& selectors) {
  const Listing l = ListGroups(o, source, file, selectors);
  const int code = l.code == kExitOk && AnyUnmatched(l.matched) ? kExitNothingToExtract : l.code;
  return ListingDocument(o, l, code, file, redirectedFrom, source);
}

int ListSource(const Options& o, const SourceArg& arg, bool batch, OpenedForRun& opened,
               const std::vector<Selector>& selectors, RunLog* log, Totals* totals) {
  IconSource& source = *opened.source;
  const std::string& file = opened.file;
  const Listing l = ListGroups(o, source, file, selectors);
  int code = l.code;
  if (l.total == 0) ++totals->iconless;
  totals->unreadable += l.unreadable;
  // A file without icons found in a folder is said only with -v, as extract does.
  const bool say =
      !l.problem.empty() && (code != kExitNothingToExtract || arg.named || o.verbosity > 1);
  if (o.json || o.jsonl) {
    if (code == kExitOk && ReportUnmatched(selectors, l.matched, file, arg.named, log)) {
      code = kExitNothingToExtract;
    }
    log->Document(ListingDocument(o, l, code, file, opened.redirectedFrom, source));
    if (say) log->Error(l.problem);
    return code;
  }
  if (say) log->Error(l.problem);
  if (l.total == 0 || (code == kExitBadInput && source.kind() != SourceKind::Module)) return code;
  const bool withType = o.types[0] != GroupType::Icon || o.allTypes;
  std::string text;
  for (const GroupSummary& g : l.groups) {
    text += (batch ? ShownText(file) + "\t" : std::string()) + FormatGroupText(g, withType);
  }
  log->Out(text);
  if (code == kExitOk && ReportUnmatched(selectors, l.matched, file, arg.named, log)) {
    return kExitNothingToExtract;
  }
  return code;
}

}  // namespace vantorico

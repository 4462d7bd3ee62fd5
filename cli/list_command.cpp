#include "cli/list_command.h"

#include "cli/cli_app.h"
#include "cli/cli_paths.h"
#include "cli/output_build.h"
#include "cli/source_groups.h"
#include "cli/text_escape.h"
#include "iconlib/images/icon_hashes.h"
#include "iconlib/images/main_icon.h"
#ifdef VANTORICO_HAVE_PNG
#include "iconlib/images/png_codec.h"
#endif

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
  bool showMain = false;  // --hashes of a source with icon groups
  MainIcon main;
  std::string mainMd5, mainSha256, mainAverage;  // mainAverage empty: no hash
};

// The main icon with its digests, for --hashes.
void AddMainIcon(IconSource& source, Listing* l) {
  l->showMain = true;
  l->main = FindMainIcon(source);
  if (!l->main.found) return;
  const ByteSpan bytes(l->main.bytes.data(), l->main.bytes.size());
  l->mainMd5 = DigestText(Md5Of(bytes));
  l->mainSha256 = DigestText(Sha256Of(bytes));
  const PngPixelsDecoder decoder = PngDecoderOfThisBuild();
  uint64_t hash = 0;
  if (AverageHashOf(bytes, decoder, &hash)) l->mainAverage = AverageHashText(hash);
}

const char* MainRuleWord(MainIconReason reason) {
  return reason == MainIconReason::Priority ? "priority" : "first";
}

// "main\t1\timage 2\t32x32 32-bit priority 0\tmd5 ... sha256 ... avghash ..."
std::string MainIconText(const Listing& l) {
  if (!l.main.found) return "main\t-\n";
  const MainIcon& m = l.main;
  std::string out = "main\t1\timage " + std::to_string(m.choice.entry + 1) + "\t" +
                    std::to_string(m.entry.width) + "x" + std::to_string(m.entry.height) + " " +
                    std::to_string(m.entry.bitCount) + "-bit " + MainRuleWord(m.choice.reason);
  if (m.choice.reason == MainIconReason::Priority) out += " " + std::to_string(m.choice.priority);
  return out + "\tmd5 " + l.mainMd5 + " sha256 " + l.mainSha256 + " avghash " +
         (l.mainAverage.empty() ? "-" : l.mainAverage) + "\n";
}

std::string MainIconJson(const Listing& l) {
  if (!l.main.found) return "null";
  const MainIcon& m = l.main;
  JsonObject out;
  out.Number("group", 1)
      .Number("image", m.choice.entry + 1)
      .Number("width", m.entry.width)
      .Number("height", m.entry.height)
      .Number("bitCount", m.entry.bitCount)
      .String("rule", MainRuleWord(m.choice.reason));
  if (m.choice.reason == MainIconReason::Priority) out.Number("priority", m.choice.priority);
  out.String("md5", l.mainMd5).String("sha256", l.mainSha256);
  if (l.mainAverage.empty()) {
    out.Null("avghash");
  } else {
    out.String("avghash", l.mainAverage);
  }
  return out.Text();
}

Listing ListGroups(const Options& o, IconSource& source, const std::string& file,
                   const std::vector<Selector>& selectors) {
  Listing l;
  l.total = ForEachSelected(o, source, selectors, &l.matched, [&](const GroupSummary& g) {
    l.groups.push_back(SummariseGroup(source, g.type, g.index, o.hashes));
  });
  for (const GroupSummary& g : l.groups) l.unreadable += !g.readable;
  if (o.hashes && source.CountOf(kResourceTypeGroupIcon) > 0) AddMainIcon(source, &l);
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
  doc.Json("groups", groups.Text());
  if (l.showMain) doc.Json("main_icon", MainIconJson(l));
  return doc.Text();
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
  if (l.showMain) text += (batch ? ShownText(file) + "\t" : std::string()) + MainIconText(l);
  log->Out(text);
  if (code == kExitOk && ReportUnmatched(selectors, l.matched, file, arg.named, log)) {
    return kExitNothingToExtract;
  }
  return code;
}

}  // namespace vantorico

#include "cli/cli_app.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <set>

#include "cli/cli_options.h"
#include "cli/file_seam.h"
#include "cli/glob_match.h"
#include "cli/group_listing.h"
#include "cli/text_escape.h"
#include "iconlib/bitmap_export.h"
#include "iconlib/image_fields.h"
#ifdef VANTORICO_HAVE_PNG
#include "iconlib/png_codec.h"
#include "iconlib/thumbnail_pipeline.h"
#endif
#include "iconlib/cursor_resources.h"
#include "iconlib/icon_file_writer.h"
#include "iconlib/language_choice.h"

#ifndef VANTORICO_VERSION
#define VANTORICO_VERSION "0"
#endif

namespace vantorico {
namespace {

// How far --on-conflict rename and names given twice in one run count.
constexpr uint64_t kMaxNameSuffix = 1000000;

// A source of the run: named on the command line (or in --files-from), or
// found in a folder named there.
struct SourceArg {
  std::string path;
  std::vector<Selector> selectors;  // its own, from "FILE,N"
  bool named = true;
};

// One output (or failed group) of a source, for the JSON documents.
// One file an output makes: its bytes and what its name adds after the
// group's number (all sizes of a group: "-48x48-32bpp").
struct Piece {
  std::string suffix;
  std::vector<uint8_t> bytes;
};

struct OutputRecord {
  GroupType type;
  int32_t index;
  std::string nameJson;
  std::string language;  // "" when unknown
  std::string status;    // written, skipped, empty, unreadable, failed
  std::string path;
  uint64_t bytes = 0;
  std::string message;
};

struct Totals {
  size_t sources = 0;
  size_t written = 0;
  size_t skipped = 0;
  size_t failed = 0;
  size_t unreadable = 0;
  size_t passed = 0;     // files in folders that are no program or icon file
  size_t iconless = 0;   // sources without groups of the kinds asked
  size_t unreached = 0;  // folders and files in them that could not be reached
};

std::string Quote(const std::string& path) {
  return "'" + path + "'";
}

std::string BaseName(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && IsSeparator(path[end - 1])) --end;
  size_t start = end;
  while (start > 0 && !IsSeparator(path[start - 1])) --start;
  return path.substr(start, end - start);
}

std::string DirName(const std::string& path) {
  size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  return path.substr(0, end);  // with its separator, or empty
}

std::string Join(const std::string& dir, const std::string& leaf) {
  if (dir.empty() || IsSeparator(dir.back())) return dir + leaf;
  return dir + PathSeparator() + leaf;
}

bool EqualsNoCase(const std::string& a, const char* b) {
  ResourceName x, y;
  x.isText = y.isText = true;
  x.text = a;
  y.text = b;
  return ResourceNamesEqual(x, y);
}

// A program file in System32 or SysWOW64 keeps its icons, on newer systems,
// in SystemResources/<name>.mun beside that folder. The folder is the real
// one (links, "." and ".." resolved), so the file read is the file named;
// found in a walk, SystemResources must be a folder itself, not a link that
// leads out of the tree.
std::string MunCandidate(const std::string& path, bool walked) {
  const std::string dir = RealFolderPath(DirName(path));
  if (dir.empty()) return std::string();
  const std::string folder = BaseName(dir);
  if (!EqualsNoCase(folder, "System32") && !EqualsNoCase(folder, "SysWOW64")) return std::string();
  const std::string parent = DirName(dir);
  if (parent.empty()) return std::string();
  const std::string resources = Join(parent, "SystemResources");
  if (walked && !IsFolderNotLink(resources)) return std::string();
  return Join(resources, BaseName(path) + ".mun");
}

std::string OpenProblem(const OpenedSource& opened, const std::string& file) {
  switch (opened.status) {
    case OpenStatus::Missing:
      return "cannot open " + Quote(file) + ": " + ErrorText(opened.error);
    case OpenStatus::NotRegularFile:
      return Quote(file) + " is not a regular file";
    case OpenStatus::ReadFailed:
      return "cannot read " + Quote(file) +
             (opened.error.kind == ErrorKind::None ? std::string(": it changed while it was read")
                                                   : ": " + ErrorText(opened.error));
    case OpenStatus::NoMemory:
      return Quote(file) + " is too large to read";
    case OpenStatus::Opened:
      break;
  }
  return Quote(file) + " is not a program file or an icon file";
}

const char* ReadProblem(GroupFailure why) {
  switch (why) {
    case GroupFailure::OverBudget:
      return "passes what this file may make the extractor write (its groups repeat the same "
             "images); skipped";
    default:
      return "cannot be read; skipped";
  }
}

const char* StatusProblem(ExtractStatus status) {
  switch (status) {
    case ExtractStatus::OverBudget:
      return ReadProblem(GroupFailure::OverBudget);
    default:
      return "cannot be read; skipped";
  }
}

// How messages name a group of a type.
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

std::string NameJson(const GroupSummary& g, SourceKind kind) {
  if (g.textName) return JsonString(g.text) + (g.textCut ? ",\"name_cut\":true" : "");
  return kind == SourceKind::Module ? std::to_string(g.id) : "null";
}

// Whether any selector takes the group (all do when there are none); an
// icon file's one group has a position but no name.
bool Selected(const std::vector<Selector>& selectors, IconSource& source, const GroupSummary& g,
              std::vector<bool>* matched) {
  if (selectors.empty()) return true;
  const bool named = source.kind() == SourceKind::Module;
  bool any = false;
  for (size_t i = 0; i < selectors.size(); ++i) {
    const Selector& s = selectors[i];
    bool hit = false;
    if (s.none) continue;
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

class Run {
 public:
  Run(const Options& o, const CliEnvironment& env, CliSink& sink)
      : o_(o),
        env_(env),
        sink_(sink),
        baseOrder_(UserLanguageOrder(o.haveLanguage ? o.language : env.userLanguage)) {}

  int Execute() {
    std::vector<SourceArg> sources;
    bool folders = false;
    int code = Gather(&sources, &folders);
    if (code != kExitOk && sources.empty()) return code;
    single_ = sources.size() == 1 && !folders;
    const bool batch = !single_;
    if (o_.json && batch) Out("[");
    for (size_t i = 0; i < sources.size(); ++i) {
      if (batch) sink_.Progress(i, sources.size(), ShownText(sources[i].path));
      const int c = Source(sources[i], batch);
      code = Worse(code, c);
    }
    if (o_.json && batch) Out(firstDocument_ ? "]\n" : "\n]\n");
    if (batch) sink_.Progress(sources.size(), sources.size(), std::string());
    if ((o_.command == "extract" && batch && o_.verbosity > 0) || o_.verbosity > 1) {
      const bool extract = o_.command == "extract";
      Note(std::to_string(totals_.sources) + " source" + (totals_.sources == 1 ? "" : "s") +
           (extract ? ", " + std::to_string(totals_.written) + " written, " +
                          std::to_string(totals_.skipped) + " skipped"
                    : std::string()) +
           ", " + std::to_string(totals_.unreadable) + " unreadable" +
           (extract ? ", " + std::to_string(totals_.failed) + " not written" : std::string()) +
           (totals_.iconless ? ", " + std::to_string(totals_.iconless) + " without icons" : "") +
           (totals_.passed ? ", " + std::to_string(totals_.passed) + " other files passed" : "") +
           (totals_.unreached ? ", " + std::to_string(totals_.unreached) + " not reached" : ""));
    }
    if (code == kExitOk && totals_.sources == 0 && totals_.unreached == 0) {
      code = kExitNothingToExtract;
      Error("no program or icon files in the folders given");
    } else if (code == kExitOk && o_.command == "extract" && totals_.written == 0 &&
               totals_.skipped == 0) {
      code = kExitNothingToExtract;
      if (batch) Error("nothing to extract");
    }
    if (!outOk_ && (code == kExitOk || code == kExitNothingToExtract)) {
      Error("cannot write to standard output");
      code = kExitOutputFailed;
    }
    return code;
  }

 private:
  // 4 over 3 over 1 over 0.
  static int Worse(int a, int b) {
    const auto rank = [](int c) {
      return c == kExitOutputFailed       ? 4
             : c == kExitBadInput         ? 3
             : c == kExitNothingToExtract ? 1
                                          : 0;
    };
    return rank(b) > rank(a) ? b : a;
  }

  void Out(const std::string& text) {
    if (!sink_.Out(text)) outOk_ = false;
  }
  // Human output never carries a control character of a path or name.
  void Error(const std::string& message) { sink_.Err("vantorico: " + ShownText(message) + "\n"); }
  void Note(const std::string& message) {
    if (o_.verbosity > 0) Error(message);
  }
  void Verbose(const std::string& message) {
    if (o_.verbosity > 1) Error(message);
  }

  int Gather(std::vector<SourceArg>* sources, bool* folders) {
    std::vector<std::string> names = o_.files;
    int code = kExitOk;
    if (!o_.filesFrom.empty()) {
      std::string list;
      if (o_.filesFrom == "-") {
        // stdio, not iostreams: the static Windows program stays small.
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) list.append(buffer, got);
      } else {
        SourceFile f = ReadSource(o_.filesFrom);
        if (!f.view) {
          Error("cannot read the list " + Quote(o_.filesFrom) +
                (f.error.kind == ErrorKind::None ? "" : ": " + ErrorText(f.error)));
          return kExitBadInput;
        }
        list.assign(reinterpret_cast<const char*>(f.view->bytes().data()), f.view->bytes().size());
      }
      const char end_of_name = o_.nullSeparated ? '\0' : '\n';
      if (!o_.nullSeparated && list.find('\0') != std::string::npos) {
        // A name holds no NUL: this is a list of NUL-separated names.
        Error("the list " + Quote(o_.filesFrom) +
              " holds a NUL byte, which no file name has (a list from find -print0 "
              "needs --null)");
        return kExitUsage;
      }
      size_t start = 0;
      while (start < list.size()) {
        size_t end = list.find(end_of_name, start);
        if (end == std::string::npos) end = list.size();
        std::string line = list.substr(start, end - start);
        if (!o_.nullSeparated && !line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) names.push_back(line);
        start = end + 1;
      }
    }
    for (const std::string& name : names) {
      SourceArg s;
      s.path = name;
      const PathType type = TypeOfPath(name);
      Selector location;
      std::string file;
      if (type == PathType::None && SplitIconLocation(name, &file, &location) &&
          TypeOfPath(file) != PathType::None) {
        s.path = file;
        s.selectors.push_back(location);
      }
      if (type == PathType::Directory) {
        *folders = true;
        code = Worse(code, Walk(name, sources));
        continue;
      }
      sources->push_back(s);
    }
    return code;
  }

  // The files of a folder (and, with -r, its subfolders) that the run reads;
  // what cannot be reached is said and counted, never passed over.
  int Walk(const std::string& dir, std::vector<SourceArg>* sources) {
    std::vector<WalkItem> items;
    WalkFolder(dir, o_.recursive, &items);
    int code = kExitOk;
    for (const WalkItem& item : items) {
      if (!item.reached) {
        Error((item.folder ? "cannot read the folder " : "cannot reach ") + Quote(item.path) +
              ": " + ErrorText(item.error));
        ++totals_.unreached;
        code = kExitBadInput;
        continue;
      }
      if (!o_.includes.empty() &&
          std::none_of(o_.includes.begin(), o_.includes.end(),
                       [&](const std::string& g) { return GlobMatches(g, item.name); })) {
        continue;
      }
      SourceArg s;
      s.path = item.path;
      s.named = false;
      sources->push_back(s);
    }
    return code;
  }

  // Opens a source as its content says, with the run's language order.
  OpenedSource OpenAs(const std::string& path) {
    OpenedSource opened = IconSource::OpenReadFile(path.c_str(), ReadSource(path));
    if (opened.source && opened.source->kind() == SourceKind::Module) {
      opened.source->module()->SetLanguageOrder(baseOrder_);
    }
    return opened;
  }

  std::string DocumentHead(const std::string& file, const std::string& redirectedFrom,
                           const IconSource* source) {
    std::string doc = "{\"schema\":" + std::to_string(kListingSchemaVersion) + ",\"command\":\"" +
                      o_.command + "\",\"file\":" + JsonString(file);
    if (!redirectedFrom.empty()) doc += ",\"redirected_from\":" + JsonString(redirectedFrom);
    doc += ",\"kind\":";
    doc += source ? "\"" + KindWord(source->kind()) + "\"" : "null";
    return doc;
  }

  void EmitDocument(const std::string& doc) {
    if (o_.jsonl) {
      Out(doc + "\n");
    } else if (o_.json) {
      if (single_) {
        Out(doc + "\n");
      } else {
        Out((firstDocument_ ? "\n" : ",\n") + doc);
        firstDocument_ = false;
      }
    }
  }

  bool JsonMode() const { return o_.json || o_.jsonl; }

  int Source(const SourceArg& arg, bool batch) {
    ++totals_.sources;
    named_ = arg.named;
    prefix_ = batch ? Quote(arg.path) + ": " : std::string();
    std::string file = arg.path, redirectedFrom;
    OpenedSource opened = OpenAs(file);
    if (!opened.source) {
      if (!arg.named && opened.status == OpenStatus::Opened && opened.notProgramOrIcon) {
        ++totals_.passed;
        --totals_.sources;
        Verbose(Quote(file) + " is not a program file or an icon file; passed over");
        return kExitOk;
      }
      const std::string problem = OpenProblem(opened, file);
      Error(problem);
      EmitDocument(DocumentHead(file, "", nullptr) +
                   ",\"status\":3,\"error\":" + JsonString(problem) + ",\"groups\":[]}");
      ++totals_.unreadable;
      return kExitBadInput;
    }
    std::unique_ptr<IconSource> source = std::move(opened.source);
    if (source->kind() == SourceKind::Module && source->GroupCount() == 0 && !o_.noRedirect) {
      const std::string mun = MunCandidate(file, !arg.named);
      if (!mun.empty() && TypeOfPath(mun) == PathType::File) {
        OpenedSource redirected = OpenAs(mun);
        if (redirected.source) {
          Note(Quote(file) + " has no icon groups; reading " + Quote(mun) + " instead");
          redirectedFrom = file;
          file = mun;
          source = std::move(redirected.source);
        } else {
          Error(OpenProblem(redirected, mun));
        }
      }
    }
    Verbose("reading " + Quote(file) + " (" + KindWord(source->kind()) + ")");
    std::vector<Selector> selectors = o_.selectors;
    selectors.insert(selectors.end(), arg.selectors.begin(), arg.selectors.end());
    const int code = o_.command == "list"
                         ? List(*source, file, redirectedFrom, selectors, arg, batch)
                         : Extract(*source, file, redirectedFrom, selectors, arg, batch);
    return (arg.named || code != kExitNothingToExtract) ? code : kExitOk;
  }

  std::vector<GroupType> TypesOf(const IconSource& source) const {
    if (source.kind() == SourceKind::Module) return o_.types;
    std::vector<GroupType> types;
    if (std::find(o_.types.begin(), o_.types.end(), GroupType::Icon) != o_.types.end()) {
      types.push_back(GroupType::Icon);
    }
    return types;
  }

  std::string NoGroupsText(const std::string& file) const {
    if (o_.allTypes) return Quote(file) + " has no icon or cursor groups";
    return Quote(file) + " has no " + (o_.types[0] == GroupType::Icon ? "icon" : "cursor") +
           " groups";
  }

  // Selectors that named no group are said once each; true when there were any.
  bool ReportUnmatched(const std::vector<Selector>& selectors, const std::vector<bool>& matched,
                       const std::string& file) {
    bool any = false;
    for (size_t i = 0; i < selectors.size(); ++i) {
      if (matched[i]) continue;
      any = true;
      // In a folder's files a selection that names nothing is no surprise.
      if (!named_ && o_.verbosity < 2) continue;
      Error(Quote(file) + " has no group that " + selectors[i].spelled + " names");
    }
    return any;
  }

  int List(IconSource& source, const std::string& file, const std::string& redirectedFrom,
           const std::vector<Selector>& selectors, const SourceArg& arg, bool batch) {
    std::vector<bool> matched(selectors.size(), false);
    std::vector<GroupSummary> groups;
    int32_t total = 0;
    for (GroupType type : TypesOf(source)) {
      const int32_t n = CountGroups(source, type);
      total += n;
      for (int32_t i = 1; i <= n; ++i) {
        const GroupSummary described = DescribeGroup(source, type, i);
        if (!Selected(selectors, source, described, &matched)) continue;
        groups.push_back(SummariseGroup(source, type, i));
      }
    }
    int code = kExitOk;
    std::string problem;
    size_t unreadable = 0;
    for (const GroupSummary& g : groups) unreadable += !g.readable;
    if (total == 0) {
      problem = NoGroupsText(file);
      code = kExitNothingToExtract;
      ++totals_.iconless;
    } else if (source.kind() == SourceKind::IconFile && !groups.empty() && !groups[0].readable) {
      problem = Quote(file) + " is a damaged icon file";
      code = kExitBadInput;
    } else if (unreadable > 0) {
      // The lines say which; the status says that not everything could be read.
      problem = Quote(file) + ": " + std::to_string(unreadable) + " of " +
                std::to_string(groups.size()) + " group" + (groups.size() == 1 ? "" : "s") +
                " cannot be read";
      code = kExitBadInput;
    }
    totals_.unreadable += unreadable;
    // A file without icons found in a folder is said only with -v, as extract does.
    const bool say =
        !problem.empty() && (code != kExitNothingToExtract || arg.named || o_.verbosity > 1);
    if (JsonMode()) {
      std::string doc = DocumentHead(file, redirectedFrom, &source);
      const bool unmatched = code == kExitOk && ReportUnmatched(selectors, matched, file);
      if (unmatched) code = kExitNothingToExtract;
      doc += ",\"status\":" + std::to_string(code);
      if (!problem.empty()) doc += ",\"error\":" + JsonString(problem);
      doc += ",\"groups\":[";
      for (size_t i = 0; i < groups.size(); ++i) {
        doc += (i ? "," : "") + FormatGroupJson(groups[i], source.kind());
      }
      EmitDocument(doc + "]}");
      if (say) Error(problem);
      return code;
    }
    if (say) Error(problem);
    if (total == 0 || (code == kExitBadInput && source.kind() == SourceKind::IconFile)) return code;
    const bool withType = o_.types[0] != GroupType::Icon || o_.allTypes;
    std::string text;
    for (const GroupSummary& g : groups) {
      text += (batch ? ShownText(file) + "\t" : std::string()) + FormatGroupText(g, withType);
    }
    Out(text);
    if (code == kExitOk && ReportUnmatched(selectors, matched, file)) return kExitNothingToExtract;
    return code;
  }

  // The file name of group index; suffix (a language) follows the number.
  std::string LeafOf(GroupType type, int32_t index, const std::string& suffix) const {
    const std::string n = std::to_string(index) + suffix;
    switch (type) {
      case GroupType::Icon:
        return n + (o_.png ? ".png" : o_.bitmap ? ".bmp" : ".ico");
      case GroupType::Cursor:
        return n + ".cur";
      case GroupType::AniCursor:
        return "cursor-" + n + ".ani";
      case GroupType::AniIcon:
        return "icon-" + n + ".ani";
    }
    return n;
  }

  // The folder a source's outputs go to, made when first needed.
  bool OutputFolder(const SourceArg& arg, bool batch, std::string* folder) {
    if (!outputReady_) {
      SystemError error;
      if (!MakeFolders(o_.outputDir, &error)) {
        outputProblem_ =
            "cannot create output directory " + Quote(o_.outputDir) + ": " + ErrorText(error);
        outputReady_ = true;
        outputFailed_ = true;
      }
      outputReady_ = true;
    }
    if (outputFailed_) return false;
    if (!batch) {
      *folder = o_.outputDir;
      return true;
    }
    auto known = folders_.find(arg.path);
    if (known == folders_.end()) {
      // Sources of one name (from different folders) get name~2, name~3, ...
      std::string name = BaseName(arg.path);
      if (name.empty() || name == "." || name == "..") name = "source";
      std::string unique = name;
      for (int k = 2; usedNames_.count(unique); ++k) unique = name + "~" + std::to_string(k);
      usedNames_.insert(unique);
      known = folders_.emplace(arg.path, Join(o_.outputDir, unique)).first;
    }
    *folder = known->second;
    SystemError error;
    if (!MakeFolders(*folder, &error)) {
      outputProblem_ = "cannot create output directory " + Quote(*folder) + ": " + ErrorText(error);
      return false;
    }
    return true;
  }

  // How the run remembers a name it has given an output: on Windows two
  // names that differ only in ASCII case are one name.
  static std::string NameKey(const std::string& path) {
    std::string key = path;
    if (PathSeparator() == '\\') {
      for (char& c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      }
    }
    return key;
  }

  // Writes one output under the conflict rule, at a name no other output of
  // the run has had: a second output of one name (two images of one size and
  // depth, a language stored twice) takes the next free -N. skip and rename
  // create their names without replacing, in one step, so that a file another
  // process puts there meanwhile is kept. Returns the record's status; *path
  // becomes the name used.
  std::string WriteOne(std::string* path, const std::vector<uint8_t>& bytes,
                       const FileIdentity& source, std::string* message) {
    const ByteSpan span(bytes.data(), bytes.size());
    const std::string base = *path;
    const size_t leaf = DirName(base).size();
    const size_t dot = base.rfind('.');
    const size_t cut = dot == std::string::npos || dot < leaf ? base.size() : dot;
    const std::string stem = base.substr(0, cut), ext = base.substr(cut);
    uint64_t& next = nextSuffix_[NameKey(base)];
    if (next == 0) next = 1;
    for (; next <= kMaxNameSuffix; ++next) {
      const std::string name = next == 1 ? base : stem + "-" + std::to_string(next) + ext;
      if (!claimed_.insert(NameKey(name)).second) continue;
      *path = name;
      if (o_.conflict == Conflict::Overwrite) {
        ++next;
        return Reported(WriteOutputWhole(name, span, &source), name, message);
      }
      const WriteOutcome w = CreateOutputWhole(name, span);
      const bool taken =
          w.status == WriteOutcome::Exists || w.status == WriteOutcome::NotRegularFile;
      if (taken && o_.conflict == Conflict::Rename) continue;
      ++next;
      if (taken) return "skipped";
      return Reported(w, name, message);
    }
    *message = "cannot write " + Quote(base) + ": every name up to -" +
               std::to_string(kMaxNameSuffix) + " is taken";
    return "failed";
  }

  // The record's status of a write, and the message of a failed one.
  static std::string Reported(const WriteOutcome& w, const std::string& name,
                              std::string* message) {
    switch (w.status) {
      case WriteOutcome::Written:
        return "written";
      case WriteOutcome::SameAsSource:
        *message = "not writing " + Quote(name) + ": it is the file being extracted";
        return "failed";
      case WriteOutcome::NotRegularFile:
        *message = "not replacing " + Quote(name) +
                   ": it is not a regular file (a folder, device, FIFO or socket)";
        return "failed";
      case WriteOutcome::Exists:
      case WriteOutcome::Failed:
        break;
    }
    *message = "cannot write " + Quote(name) + ": " + ErrorText(w.error);
    return "failed";
  }

  // One PNG of a group: a stored PNG image goes out as it is; a DIB is
  // decoded, scaled when --size asks for another size, and encoded.
  std::string BuildPng(const IconImageSet& set, std::vector<Piece>* pieces, std::string* message) {
#ifdef VANTORICO_HAVE_PNG
    std::vector<ByteSpan> images;
    for (uint32_t i = 0; i < set.imageCount; ++i) images.push_back(ImageBytes(set.images[i]));
    if (o_.allSizes) {
      // Every image as it is, named by its size and depth.
      for (uint32_t i = 0; i < set.imageCount; ++i) {
        Thumbnail picture = MakeThumbnail({images[i]}, 0, BlankImages::Keep);
        if (!picture.ok()) continue;
        const IconImageEntry& e = set.images[i];
        pieces->push_back({"-" + std::to_string(picture.width) + "x" +
                               std::to_string(picture.height) + "-" + std::to_string(e.bitDepth) +
                               "bpp",
                           std::move(picture.png)});
      }
      if (!pieces->empty()) return "";
      *message = "has no image that makes a picture; skipped";
      return "unreadable";
    }
    Thumbnail picture = MakeThumbnail(images, o_.pngSize, BlankImages::Keep);
    if (!picture.ok()) {
      *message = std::string("has no image that makes a picture (") +
                 ThumbnailErrorName(picture.error) + "); skipped";
      return "unreadable";
    }
    pieces->push_back({"", std::move(picture.png)});
    return "";
#else
    (void)set;
    (void)pieces;
    *message = "PNG export is not part of this build";
    return "unreadable";
#endif
  }

  // A group as a bitmap file: its first DIB that decodes, else its largest
  // PNG that decodes, always as something bitmap readers take.
  std::string BuildBitmap(const IconImageSet& set, std::vector<uint8_t>* bytes,
                          std::string* message) {
#ifdef VANTORICO_HAVE_PNG
    const PngPixelsDecoder decoder = [](ByteSpan png, RgbaImage* out) {
      PngDecodeResult r = DecodePng(png);
      if (r.ok()) *out = std::move(r.image);
      return r.ok();
    };
#else
    const PngPixelsDecoder decoder = nullptr;
#endif
    BitmapExport made = MakeBitmapExport(set, decoder);
    switch (made.error) {
      case BitmapExportError::None:
        *bytes = std::move(made.bytes);
        return "";
      case BitmapExportError::PngOnly:
        *message = "has only PNG images, which this build cannot decode; skipped";
        return "refused";
      case BitmapExportError::TooLarge:
        *message = "makes a bitmap past 4 GB; skipped";
        return "refused";
      case BitmapExportError::NoImage:
        break;
    }
    *message = "has no image that decodes; skipped";
    return "unreadable";
  }

  // The bytes of one group's output; a status other than "" when there are none.
  std::string BuildOutput(IconSource& source, GroupType type, int32_t index,
                          std::vector<Piece>* pieces, std::string* message) {
    pieces->push_back({});
    std::vector<uint8_t>* bytes = &pieces->back().bytes;
    const auto ordinal = static_cast<uint32_t>(index - 1);
    switch (type) {
      case GroupType::Icon: {
        GroupRead read = source.ReadGroup(index);
        if (!read.set) {
          *message = StatusProblem(read.status);
          return "unreadable";
        }
        if (read.set->imageCount == 0) return "empty";
        if (o_.png) {
          pieces->clear();
          return BuildPng(*read.set, pieces, message);
        }
        if (o_.bitmap) return BuildBitmap(*read.set, bytes, message);
        if (!BuildIconFile(*read.set, bytes)) {
          *message = StatusProblem(ExtractStatus::UnreadableGroup);
          return "unreadable";
        }
        return "";
      }
      case GroupType::Cursor: {
        CursorGroup cursors;
        const GroupFailure why =
            ReadCursorGroupAt(*source.module(), ordinal, source.BudgetLeft(), &cursors);
        if (why != GroupFailure::None || !source.SpendBudget(cursors.bytes())) {
          *message = ReadProblem(why);
          return "unreadable";
        }
        if (cursors.images.empty()) return "empty";
        if (!BuildCursorFile(cursors, bytes)) {
          *message = ReadProblem(GroupFailure::NoMemory);
          return "unreadable";
        }
        return "";
      }
      case GroupType::AniCursor:
      case GroupType::AniIcon: {
        ByteSpan raw;
        if (!source.module()->BytesAt(ResourceTypeOf(type), ordinal, &raw) ||
            !source.SpendBudget(raw.size())) {
          *message = ReadProblem(GroupFailure::CutShort);
          return "unreadable";
        }
        if (raw.empty()) return "empty";
        bytes->assign(raw.data(), raw.data() + raw.size());
        return "";
      }
    }
    return "unreadable";
  }

  int Extract(IconSource& source, const std::string& file, const std::string& redirectedFrom,
              const std::vector<Selector>& selectors, const SourceArg& arg, bool batch) {
    std::vector<bool> matched(selectors.size(), false);
    std::vector<OutputRecord> records;
    int32_t total = 0;
    size_t written = 0, failed = 0, unreadable = 0, skipped = 0;
    std::string folder;
    bool folderFailed = false;
    for (GroupType type : TypesOf(source)) {
      const int32_t n = CountGroups(source, type);
      total += n;
      for (int32_t i = 1; i <= n; ++i) {
        const GroupSummary g = DescribeGroup(source, type, i);
        if (!Selected(selectors, source, g, &matched)) continue;
        // One output per group; with --all-languages one per language it is stored in.
        std::vector<int> languages{-1};
        if (o_.allLanguages && !g.languages.empty()) {
          languages.clear();
          for (size_t l = 0; l < g.languages.size(); ++l) languages.push_back(static_cast<int>(l));
        }
        for (int l : languages) {
          const uint16_t language = l < 0 ? 0 : g.languages[static_cast<size_t>(l)];
          if (l >= 0) {
            // That language first; images it lacks come by the run's order.
            LanguageOrder order = baseOrder_;
            order.insert(order.begin(), language);
            source.module()->SetLanguageOrder(order);
          }
          OutputRecord r{type,
                         i,
                         NameJson(g, source.kind()),
                         l >= 0                ? LanguageIdText(language)
                         : g.languages.empty() ? ""
                                               : LanguageIdText(g.languages[g.chosenLanguage]),
                         "",
                         "",
                         0,
                         ""};
          const std::string what = std::string(WhatOf(type)) + " " + std::to_string(i) +
                                   (l >= 0 ? " (" + LanguageIdText(language) + ")" : "");
          std::vector<Piece> pieces;
          r.status = BuildOutput(source, type, i, &pieces, &r.message);
          if (r.status == "empty") {
            r.message = what + " has no images; nothing to extract";
            Error(prefix_ + r.message);
          } else if (r.status == "unreadable" || r.status == "refused") {
            r.message = what + " " + r.message;
            Error(prefix_ + r.message);
            ++unreadable;
          } else if (folderFailed || !OutputFolder(arg, batch, &folder)) {
            if (!folderFailed) Error(outputProblem_);
            folderFailed = true;
            r.status = "failed";
            r.message = outputProblem_;
            ++failed;
          } else {
            const std::string base = l >= 0 ? "-" + LanguageIdText(language) : "";
            for (const Piece& piece : pieces) {
              OutputRecord one = r;
              one.path = Join(folder, LeafOf(type, i, base + piece.suffix));
              one.status = WriteOne(&one.path, piece.bytes, source.identity(), &one.message);
              if (one.status == "written") {
                one.bytes = piece.bytes.size();
                ++written;
                if (!JsonMode() && o_.verbosity > 0) Out(ShownText(one.path) + "\n");
              } else if (one.status == "skipped") {
                ++skipped;
                one.message = Quote(one.path) + " exists; skipped";
                Verbose(prefix_ + one.message);
              } else {
                ++failed;
                Error(one.message);
              }
              records.push_back(one);
            }
            continue;
          }
          records.push_back(r);
        }
        if (languages.front() >= 0) source.module()->SetLanguageOrder(baseOrder_);
      }
    }
    totals_.written += written;
    totals_.skipped += skipped;
    totals_.failed += failed;
    totals_.unreadable += unreadable;
    int code = kExitOk;
    std::string problem;
    if (failed > 0) {
      code = kExitOutputFailed;
    } else if (total == 0) {
      problem = NoGroupsText(file);
      code = kExitNothingToExtract;
      ++totals_.iconless;
    } else if (unreadable > 0) {
      code = kExitBadInput;
    } else if (ReportUnmatched(selectors, matched, file)) {
      code = kExitNothingToExtract;
    } else if (written == 0 && skipped == 0) {
      problem = "nothing to extract";
      code = kExitNothingToExtract;
    }
    if (!problem.empty() && (arg.named || o_.verbosity > 1)) {
      Error((problem.front() == '\'' ? "" : prefix_) + problem);
    }
    if (JsonMode()) {
      std::string doc =
          DocumentHead(file, redirectedFrom, &source) + ",\"status\":" + std::to_string(code);
      if (!problem.empty()) doc += ",\"error\":" + JsonString(problem);
      doc += ",\"outputs\":[";
      for (size_t i = 0; i < records.size(); ++i) {
        const OutputRecord& r = records[i];
        doc += std::string(i ? "," : "") + "{\"type\":\"" + WordOf(r.type) +
               "\",\"index\":" + std::to_string(r.index) + ",\"name\":" + r.nameJson +
               ",\"language\":" + (r.language.empty() ? "null" : "\"" + r.language + "\"") +
               ",\"status\":\"" + r.status + "\"";
        if (!r.path.empty()) doc += ",\"path\":" + JsonString(r.path);
        if (r.status == "written") doc += ",\"bytes\":" + std::to_string(r.bytes);
        if (!r.message.empty()) doc += ",\"message\":" + JsonString(r.message);
        doc += "}";
      }
      EmitDocument(doc + "]}");
    }
    return code;
  }

  const Options& o_;
  const CliEnvironment& env_;
  CliSink& sink_;
  const LanguageOrder baseOrder_;
  Totals totals_;
  bool single_ = true;
  bool named_ = true;
  bool outOk_ = true;
  bool firstDocument_ = true;
  bool outputReady_ = false;
  bool outputFailed_ = false;
  std::string outputProblem_;
  std::string prefix_;
  std::map<std::string, std::string> folders_;
  std::set<std::string> usedNames_;
  std::set<std::string> claimed_;               // every output name the run has used or tried
  std::map<std::string, uint64_t> nextSuffix_;  // per output name: the next -N to try
};

class CollectingSink final : public CliSink {
 public:
  CollectingSink(std::string* out, std::string* err) : out_(out), err_(err) {}
  bool Out(const std::string& text) override {
    *out_ += text;
    return true;
  }
  void Err(const std::string& text) override { *err_ += text; }

 private:
  std::string* out_;
  std::string* err_;
};

}  // namespace

int RunCli(const std::vector<std::string>& args, const CliEnvironment& env, CliSink& sink) {
  for (const std::string& a : args) {
    if (a == "--") break;
    if (a == "--help" || a == "-h") {
      return sink.Out(kUsage) ? kExitOk : kExitOutputFailed;
    }
    if (a == "--version") {
      return sink.Out("vantorico " VANTORICO_VERSION "\n") ? kExitOk : kExitOutputFailed;
    }
  }
  Options o;
  const std::string problem = ParseOptions(args, &o);
  if (!problem.empty()) {
    sink.Err("vantorico: " + problem + "\n");
    return kExitUsage;
  }
  Run run(o, env, sink);
  return run.Execute();
}

int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err) {
  CliEnvironment env;
  env.userLanguage = UserLanguageOfSystem();
  CollectingSink sink(out, err);
  return RunCli(args, env, sink);
}

}  // namespace vantorico

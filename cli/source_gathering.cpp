#include "cli/source_gathering.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

#include "cli/cli_app.h"
#include "cli/cli_paths.h"
#include "cli/file_seam.h"
#include "cli/glob_match.h"
#include "cli/group_listing.h"
#include "cli/source_groups.h"
#include "iconlib/formats/icon_constants.h"

namespace vantorico {
namespace {

// Adds the names of --files-from; the exit code of a list that cannot be had (said).
int ReadNameList(const Options& o, RunLog* log, std::vector<std::string>* names) {
  std::string list;
  if (o.filesFrom == "-") {
    // stdio, not iostreams: the static Windows program stays small.
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) list.append(buffer, got);
  } else {
    SourceFile f = ReadSource(o.filesFrom);
    if (!f.view) {
      log->Error("cannot read the list " + Quote(o.filesFrom) +
                 (f.error.kind == ErrorKind::None ? "" : ": " + ErrorText(f.error)));
      return kExitBadInput;
    }
    list.assign(reinterpret_cast<const char*>(f.view->bytes().data()), f.view->bytes().size());
  }
  const char end_of_name = o.nullSeparated ? '\0' : '\n';
  if (!o.nullSeparated && list.find('\0') != std::string::npos) {
    // A name holds no NUL: this is a list of NUL-separated names.
    log->Error("the list " + Quote(o.filesFrom) +
               " holds a NUL byte, which no file name has (a list from find -print0 "
               "needs --null)");
    return kExitUsage;
  }
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(end_of_name, start);
    if (end == std::string::npos) end = list.size();
    std::string line = list.substr(start, end - start);
    if (!o.nullSeparated && !line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) names->push_back(line);
    start = end + 1;
  }
  return kExitOk;
}

// The files of a folder (and, with -r, its subfolders) that the run reads;
// what cannot be reached is said and counted, never passed over.
int Walk(const Options& o, const std::string& dir, RunLog* log, Totals* totals,
         std::vector<SourceArg>* sources) {
  std::vector<WalkItem> items;
  WalkFolder(dir, o.recursive, &items);
  // Each folder's real path once, not once per file (for the .mun rule).
  std::map<std::string, std::string> realFolders;
  int code = kExitOk;
  sources->reserve(sources->size() + items.size());
  for (const WalkItem& item : items) {
    if (!item.reached) {
      log->Error((item.folder ? "cannot read the folder " : "cannot reach ") + Quote(item.path) +
                 ": " + ErrorText(item.error));
      ++totals->unreached;
      code = kExitBadInput;
      continue;
    }
    if (!o.includes.empty() &&
        std::none_of(o.includes.begin(), o.includes.end(),
                     [&](const std::string& g) { return GlobMatches(g, item.name); })) {
      continue;
    }
    SourceArg s;
    s.path = item.path;
    s.named = false;
    const std::string folder = DirName(item.path);
    auto real = realFolders.find(folder);
    if (real == realFolders.end()) real = realFolders.emplace(folder, RealFolderPath(folder)).first;
    s.realFolder = real->second;
    sources->push_back(std::move(s));
  }
  return code;
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
std::string MunCandidate(const SourceArg& arg, const std::string& path) {
  const bool walked = !arg.named;
  const std::string dir = arg.realFolder.empty() ? RealFolderPath(DirName(path)) : arg.realFolder;
  if (dir.empty()) return std::string();
  const std::string folder = BaseName(dir);
  if (!EqualsNoCase(folder, "System32") && !EqualsNoCase(folder, "SysWOW64")) return std::string();
  const std::string parent = DirName(dir);
  if (parent.empty()) return std::string();
  const std::string resources = Join(parent, "SystemResources");
  if (walked && !IsFolderNotLink(resources)) return std::string();
  return Join(resources, BaseName(path) + ".mun");
}

// Why a file that was read is no program file, for its message and record;
// empty when the readers gave no reason.
std::string RefusalReason(const OpenedSource& opened) {
  if (opened.status != OpenStatus::Opened || !opened.notProgramOrIcon) return std::string();
  switch (opened.refusal) {
    case ModuleRefusal::None:
      return std::string();
    case ModuleRefusal::NoMzHeader:
      // Neither reader's header: the module's "no MZ header" alone would not say it.
      return "it starts with neither an MZ header nor an icon file header";
    default:
      return ModuleRefusalText(opened.refusal);
  }
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
  const std::string reason = RefusalReason(opened);
  return Quote(file) + " is not a program file or an icon file" +
         (reason.empty() ? "" : ": " + reason);
}

// Standard input cannot be read by range: it is read whole, up to what an
// icon file may hold (more is refused as too large, not cut).
OpenedBytes ReadStandardInput() {
  using Status = StandardInputRead::Status;
  constexpr size_t kLimit = static_cast<size_t>(kMaxIconFileImageBytes);
  constexpr size_t kFirstBlock = 64 * 1024;
  OpenedBytes out;
  out.status = OpenStatus::NoMemory;
  ReadBlock block;
  size_t capacity = 0;
  for (;;) {
    if (block.size == capacity) {
      if (capacity == kLimit) {
        uint8_t more;
        const StandardInputRead past = ReadFromStandardInput(&more, 1);
        if (past.status == Status::Bytes) return out;
        if (past.status == Status::End) break;
        out.status = OpenStatus::ReadFailed;
        return out;
      }
      const size_t next = capacity ? std::min(capacity * 2, kLimit) : kFirstBlock;
      HeapBytes bigger = HeapTryAllocateBytes(next);
      if (!bigger) return out;
      if (block.size) std::memcpy(bigger.get(), block.bytes.get(), block.size);
      block.bytes = std::move(bigger);
      capacity = next;
    }
    const StandardInputRead read =
        ReadFromStandardInput(block.bytes.get() + block.size, capacity - block.size);
    if (read.status == Status::End) break;
    if (read.status != Status::Bytes) {
      // Past the deadline the run says so in its own words.
      out.status = OpenStatus::ReadFailed;
      return out;
    }
    block.size += read.got;
  }
  out.source = ByteSourceOfBlock(std::move(block));
  if (out.source) out.status = OpenStatus::Opened;
  return out;
}

// Opens a source as its content says, with the run's language order.
OpenedSource OpenAs(const SourceArg& arg, const std::string& path, const LanguageOrder& order) {
  OpenedSource opened = IconSource::OpenBytes(
      path.c_str(), arg.standardInput ? ReadStandardInput() : OpenSourceBytes(path));
  if (opened.source && opened.source->kind() == SourceKind::Module) {
    opened.source->module()->SetLanguageOrder(order);
  }
  return opened;
}

}  // namespace

int GatherSources(const Options& o, RunLog* log, Totals* totals, std::vector<SourceArg>* sources,
                  bool* folders) {
  std::vector<std::string> names = o.files;
  if (!o.filesFrom.empty()) {
    const int code = ReadNameList(o, log, &names);
    if (code != kExitOk) return code;
  }
  // Standard input can be read once: as the list of names or as one source.
  const auto dashes = std::count(names.begin(), names.end(), std::string("-"));
  if (dashes > 1 || (dashes == 1 && o.filesFrom == "-")) {
    log->Error(dashes > 1 ? "- (standard input) can be given once"
                          : "- cannot be a source when --files-from reads standard input");
    return kExitUsage;
  }
  int code = kExitOk;
  for (const std::string& name : names) {
    SourceArg s;
    s.path = name;
    if (name == "-") {
      s.standardInput = true;
      sources->push_back(s);
      continue;
    }
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
      code = Worse(code, Walk(o, name, log, totals, sources));
      continue;
    }
    sources->push_back(s);
  }
  return code;
}

OpenedForRun OpenForRun(const Options& o, const SourceArg& arg, const LanguageOrder& order,
                        RunLog* log, Totals* totals) {
  OpenedForRun run;
  ++totals->sources;
  run.file = arg.path;
  OpenedSource opened = OpenAs(arg, run.file, order);
  if (!opened.source) {
    if (!arg.named && opened.status == OpenStatus::Opened && opened.notProgramOrIcon) {
      ++totals->passed;
      --totals->sources;
      log->Verbose(Quote(run.file) + " is not a program file or an icon file; passed over");
      return run;
    }
    const std::string problem = OpenProblem(opened, run.file);
    const std::string reason = RefusalReason(opened);
    log->Error(problem);
    JsonObject record = DocumentHead(o.command, run.file, "", nullptr);
    record.Number("status", static_cast<int>(kExitBadInput)).String("error", problem);
    if (!reason.empty()) record.String("reason", reason);
    log->Document(record.Json("groups", "[]").Text());
    ++totals->unreadable;
    run.code = kExitBadInput;
    return run;
  }
  run.source = std::move(opened.source);
  if (run.source->kind() == SourceKind::Module && run.source->GroupCount() == 0 && !o.noRedirect &&
      !arg.standardInput) {
    const std::string mun = MunCandidate(arg, run.file);
    if (!mun.empty() && TypeOfPath(mun) == PathType::File) {
      OpenedSource redirected = OpenAs(SourceArg{}, mun, order);
      if (redirected.source) {
        log->Note(Quote(run.file) + " has no icon groups; reading " + Quote(mun) + " instead");
        run.redirectedFrom = run.file;
        run.file = mun;
        run.source = std::move(redirected.source);
      } else {
        log->Error(OpenProblem(redirected, mun));
      }
    }
  }
  log->Verbose("reading " + Quote(run.file) + " (" + KindWord(run.source->kind()) + ")");
  return run;
}

}  // namespace vantorico

#include "cli/cli_app.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/file_kind.h"
#include "cli/group_listing.h"
#include "cli/path_probe.h"
#include "iconlib/extract_file_icon.h"
#include "iconlib/icon_file_reader.h"
#include "iconlib/icon_group_reader.h"
#include "iconlib/image_fields.h"

#ifndef VANTORICO_VERSION
#define VANTORICO_VERSION "0"
#endif

namespace vantorico {
namespace {

constexpr const char kUsage[] =
    "usage: vantorico list FILE [--json]\n"
    "       vantorico extract FILE [-o DIR] [--format ico|bmp]\n"
    "       vantorico --help | --version\n"
    "\n"
    "FILE is a program file (EXE, DLL, ICL, CPL, ...: any PE or NE module) or an\n"
    "icon file; its content decides which. `list` prints one line per icon group;\n"
    "`extract` writes group N as N.ico (or its first image as N.bmp) into DIR,\n"
    "the current directory by default, replacing files of those names.\n"
    "Exit status: 0 done, 1 nothing to extract, 2 usage or I/O error.\n";

struct Options {
  std::string command;
  std::string file;
  std::string outputDir = ".";
  bool json = false;
  bool bitmap = false;
};

int Fail(std::string* err, int code, const std::string& message) {
  *err += "vantorico: " + message + "\n";
  return code;
}

// Parses args into options; an empty error means success.
std::string Parse(const std::vector<std::string>& args, Options* o) {
  if (args.empty()) return "no command given (try --help)";
  o->command = args[0];
  if (o->command != "list" && o->command != "extract") {
    return "unknown command '" + o->command + "' (try --help)";
  }
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--json" && o->command == "list") {
      o->json = true;
    } else if ((a == "-o" || a == "--output") && o->command == "extract") {
      if (!has_value) return "option " + a + " needs a directory";
      o->outputDir = args[++i];
    } else if (a == "--format" && o->command == "extract") {
      if (!has_value) return "option --format needs ico or bmp";
      const std::string& f = args[++i];
      if (f != "ico" && f != "bmp") return "unknown format '" + f + "' (ico or bmp)";
      o->bitmap = f == "bmp";
    } else if (!a.empty() && a[0] == '-' && a != "-") {
      return "unknown option '" + a + "' for " + o->command;
    } else if (o->file.empty()) {
      o->file = a;
    } else {
      return "more than one FILE given";
    }
  }
  if (o->file.empty()) return o->command + " needs a FILE";
  return std::string();
}

// Missing and unrecognised files are errors of the same kind for both commands.
int CheckKind(const Options& o, FileKind kind, std::string* err) {
  if (kind == FileKind::Missing) {
    return Fail(err, kExitUsageOrIo, "cannot open '" + o.file + "'");
  }
  if (kind == FileKind::Other) {
    return Fail(err, kExitUsageOrIo, "'" + o.file + "' is not a program file or an icon file");
  }
  return kExitOk;
}

int RunList(const Options& o, std::string* out, std::string* err) {
  const FileKind kind = DetectFileKind(o.file.c_str());
  if (const int code = CheckKind(o, kind, err)) return code;
  std::vector<GroupSummary> groups;
  if (!ListIconGroups(kind, o.file.c_str(), &groups)) {
    return Fail(err, kExitNothingToExtract,
                kind == FileKind::IconFile ? "'" + o.file + "' is a damaged icon file"
                                           : "'" + o.file + "' cannot be opened as a module");
  }
  if (groups.empty())
    return Fail(err, kExitNothingToExtract, "'" + o.file + "' has no icon groups");
  *out += o.json ? FormatGroupsJson(o.file, kind, groups) : FormatGroupsText(groups);
  return kExitOk;
}

enum class GroupOutcome { Unreadable, NoBitmapImage, Written };

// What the engine will do with group index: tells a group it skips from a
// file the system would not let us write.
GroupOutcome ExpectedOutcome(FileKind kind, const char* path, int32_t index, bool bitmap) {
  IconImageSet* set = nullptr;
  if (kind == FileKind::IconFile) {
    set = ReadIconFile(path);
  } else if (std::unique_ptr<ModuleSource> module = OpenModuleSource(path)) {
    const IconGroupLocation at = LocateIconGroup(*module, index);
    if (at.found) set = ReadIconGroupFrom(*module, at.name, path);
  }
  GroupOutcome outcome = GroupOutcome::Written;
  if (!set) {
    outcome = GroupOutcome::Unreadable;
  } else if (bitmap && (set->imageCount == 0 || IsPngEntry(set->images[0]) ||
                        !IsDescribedDib(set->images[0]))) {
    outcome = GroupOutcome::NoBitmapImage;
  }
  ReleaseIconImageSet(set);
  return outcome;
}

int RunExtract(const Options& o, std::string* out, std::string* err) {
  const FileKind kind = DetectFileKind(o.file.c_str());
  if (const int code = CheckKind(o, kind, err)) return code;
  if (!IsDirectory(o.outputDir.c_str())) {
    return Fail(err, kExitUsageOrIo, "output directory '" + o.outputDir + "' does not exist");
  }
  const SourceKind source = kind == FileKind::Module ? SourceKind::Module : SourceKind::IconFile;
  const OutputKind output = o.bitmap ? OutputKind::BitmapFile : OutputKind::IconFile;
  const char* extension = o.bitmap ? ".bmp" : ".ico";
  std::string prefix = o.outputDir;
  if (!prefix.empty() && prefix.back() != PathSeparator() && prefix.back() != '/') {
    prefix += PathSeparator();
  }
  int written = 0;
  int32_t count = 0;
  // The tool's loop: index i into i.ico, until the group count is passed.
  for (int32_t i = 1; i <= MaxIconGroups; ++i) {
    const std::string path = prefix + std::to_string(i) + extension;
    const GroupOutcome expected = ExpectedOutcome(kind, o.file.c_str(), i, o.bitmap);
    // A file the engine is about to replace goes first, so that its presence
    // afterwards proves the write; files of skipped groups are left alone.
    if (expected == GroupOutcome::Written) std::remove(path.c_str());
    const int32_t groups =
        ExtractIconGroup(source, o.file.c_str(), ExtractToFile, output, path.c_str(), i);
    if (groups == 0) break;
    count = groups;
    if (expected == GroupOutcome::Written) {
      if (!PathExists(path.c_str()))
        return Fail(err, kExitUsageOrIo, "cannot write '" + path + "'");
      *out += path + "\n";
      ++written;
    } else {
      *err +=
          "vantorico: group " + std::to_string(i) +
          (expected == GroupOutcome::Unreadable ? " cannot be read" : " has no DIB first image") +
          "; skipped\n";
    }
    if (i >= groups) break;
  }
  if (count == 0) {
    return Fail(err, kExitNothingToExtract,
                kind == FileKind::IconFile ? "'" + o.file + "' is a damaged icon file"
                                           : "'" + o.file + "' has no icon groups");
  }
  return written > 0 ? kExitOk : kExitNothingToExtract;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err) {
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      *out += kUsage;
      return kExitOk;
    }
    if (a == "--version") {
      *out += "vantorico " VANTORICO_VERSION "\n";
      return kExitOk;
    }
  }
  Options o;
  const std::string problem = Parse(args, &o);
  if (!problem.empty()) return Fail(err, kExitUsageOrIo, problem);
  return o.command == "list" ? RunList(o, out, err) : RunExtract(o, out, err);
}

}  // namespace vantorico

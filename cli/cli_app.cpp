#include "cli/cli_app.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/group_listing.h"
#include "cli/path_probe.h"
#include "iconlib/extract_group.h"

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
    "the current directory by default (created when missing), replacing files of\n"
    "those names only with complete ones; the source itself is never replaced.\n"
    "Options take their value as `--format bmp` or `--format=bmp`; `--` ends them.\n"
    "\n"
    "Exit status:\n"
    "  0  everything asked for was written\n"
    "  1  nothing to extract (no icon groups, or only empty ones)\n"
    "  2  usage error\n"
    "  3  FILE is not a program or icon file, cannot be read, or has groups\n"
    "     that cannot be read\n"
    "  4  some output could not be written\n";

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
  bool options_done = false;
  for (size_t i = 1; i < args.size(); ++i) {
    std::string a = args[i];
    std::string value;
    bool inline_value = false;
    if (!options_done && a.rfind("--", 0) == 0 && a.find('=') != std::string::npos) {
      value = a.substr(a.find('=') + 1);
      a = a.substr(0, a.find('='));
      inline_value = true;
    }
    const auto take_value = [&](std::string* out) {
      if (inline_value) {
        *out = value;
        return true;
      }
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    if (options_done || a.empty() || a[0] != '-' || a == "-") {
      if (!o->file.empty()) return "more than one FILE given";
      o->file = args[i];
    } else if (a == "--") {
      options_done = true;
    } else if (a == "--json" && o->command == "list" && !inline_value) {
      o->json = true;
    } else if ((a == "-o" || a == "--output") && o->command == "extract") {
      if (!take_value(&o->outputDir)) return "option " + a + " needs a directory";
    } else if (a == "--format" && o->command == "extract") {
      std::string f;
      if (!take_value(&f)) return "option --format needs ico or bmp";
      if (f != "ico" && f != "bmp") return "unknown format '" + f + "' (ico or bmp)";
      o->bitmap = f == "bmp";
    } else {
      return "unknown option '" + a + "' for " + o->command;
    }
  }
  if (o->file.empty()) return o->command + " needs a FILE";
  return std::string();
}

std::string OpenProblem(const OpenedSource& opened, const std::string& file) {
  switch (opened.status) {
    case OpenStatus::Missing:
      return "cannot open '" + file + "': " + SystemErrorText(opened.error);
    case OpenStatus::NotRegularFile:
      return "'" + file + "' is not a regular file";
    case OpenStatus::ReadFailed:
      return "cannot read '" + file + "'" +
             (opened.error.kind == ErrorKind::None ? std::string(": it changed while it was read")
                                                   : ": " + SystemErrorText(opened.error));
    case OpenStatus::NoMemory:
      return "'" + file + "' is too large to read";
    case OpenStatus::Opened:
      break;
  }
  return "'" + file + "' is not a program file or an icon file";
}

// Opens the file as the kind its content says; the error says why not.
std::unique_ptr<IconSource> OpenSource(const std::string& file, std::string* err, int* code) {
  OpenedSource opened = IconSource::OpenByContent(file.c_str());
  if (opened.source) return std::move(opened.source);
  *code = Fail(err, kExitBadInput, OpenProblem(opened, file));
  return nullptr;
}

const char* GroupProblem(ExtractStatus status) {
  switch (status) {
    case ExtractStatus::OverBudget:
      return "passes what this file may make the extractor write (its groups repeat the same "
             "images); skipped";
    case ExtractStatus::RefusedImage:
      return "has no first image that is a whole DIB (a PNG cannot be a bitmap file); skipped";
    default:
      return "cannot be read; skipped";
  }
}

int RunList(const Options& o, std::string* out, std::string* err) {
  int code = kExitOk;
  std::unique_ptr<IconSource> source = OpenSource(o.file, err, &code);
  if (!source) return code;
  const std::vector<GroupSummary> groups = ListIconGroups(*source);
  if (o.json) *out += FormatGroupsJson(o.file, source->kind(), groups);
  if (groups.empty()) return Fail(err, kExitNothingToExtract, "'" + o.file + "' has no icon groups");
  if (source->kind() == SourceKind::IconFile && !groups[0].readable) {
    return Fail(err, kExitBadInput, "'" + o.file + "' is a damaged icon file");
  }
  if (!o.json) *out += FormatGroupsText(groups);
  return kExitOk;
}

int RunExtract(const Options& o, std::string* out, std::string* err) {
  int code = kExitOk;
  std::unique_ptr<IconSource> source = OpenSource(o.file, err, &code);
  if (!source) return code;
  if (!IsDirectory(o.outputDir.c_str()) && !MakeDirectory(o.outputDir.c_str())) {
    return Fail(err, kExitOutputFailed,
                "cannot create output directory '" + o.outputDir + "': " +
                    SystemErrorText(LastSystemError()));
  }
  const OutputKind output = o.bitmap ? OutputKind::BitmapFile : OutputKind::IconFile;
  const char* extension = o.bitmap ? ".bmp" : ".ico";
  std::string prefix = o.outputDir;
  if (!prefix.empty() && prefix.back() != PathSeparator() && prefix.back() != '/') {
    prefix += PathSeparator();
  }
  int written = 0, unreadable = 0, failed = 0;
  for (int32_t i = 1; i <= source->GroupCount(); ++i) {
    const std::string path = prefix + std::to_string(i) + extension;
    const std::string group = "group " + std::to_string(i);
    GroupRead read = source->ReadGroup(i);
    if (!read.set) {
      ++unreadable;
      *err += "vantorico: " + group + " " + GroupProblem(read.status) + "\n";
      continue;
    }
    if (read.set->imageCount == 0) {
      *err += "vantorico: " + group + " has no images; nothing to extract\n";
      continue;
    }
    const ExtractResult r =
        DeliverGroup(*read.set, ExtractToFile, output, path.c_str(), &source->identity());
    switch (r.status) {
      case ExtractStatus::Written:
        *out += path + "\n";
        ++written;
        break;
      case ExtractStatus::SameAsSource:
        ++failed;
        *err += "vantorico: not writing '" + path + "': it is the file being extracted\n";
        break;
      case ExtractStatus::WriteFailed:
        ++failed;
        *err += "vantorico: cannot write '" + path + "': " + SystemErrorText(r.error) + "\n";
        break;
      default:
        ++unreadable;
        *err += "vantorico: " + group + " " + GroupProblem(r.status) + "\n";
        break;
    }
  }
  if (failed > 0) return kExitOutputFailed;
  if (source->GroupCount() == 0) {
    return Fail(err, kExitNothingToExtract, "'" + o.file + "' has no icon groups");
  }
  if (unreadable > 0) return kExitBadInput;
  if (written == 0) return Fail(err, kExitNothingToExtract, "nothing to extract");
  return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err) {
  for (const std::string& a : args) {
    if (a == "--") break;
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
  if (!problem.empty()) return Fail(err, kExitUsage, problem);
  return o.command == "list" ? RunList(o, out, err) : RunExtract(o, out, err);
}

}  // namespace vantorico

#include "cli/cli_options.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "cli/output_name.h"
#include "cli/threads.h"
#include "iconlib/formats/language_choice.h"
#include "iconlib/images/thumbnail_pipeline.h"

namespace vantorico {

// --help lists only what this build does, and the language rule of its platform.
#ifdef VANTORICO_HAVE_PNG
#define VANTORICO_FORMATS "ico|bmp|png"
#else
#define VANTORICO_FORMATS "ico|bmp"
#endif
#ifdef _WIN32
#define VANTORICO_USER_LANGUAGE "2052); else the user's UI language (Windows' setting)\n"
#else
#define VANTORICO_USER_LANGUAGE "2052); else the locale (LC_ALL, LC_MESSAGES, LANG)\n"
#endif

const char kUsage[] =
    "usage: vantorico list    [OPTIONS] FILE...\n"
    "       vantorico extract [OPTIONS] FILE... [-o DIR] [--format " VANTORICO_FORMATS
    "]\n"
    "       vantorico help [list|extract] | --help | --version\n"
    "\n"
    "FILE is a program file (EXE, DLL, ICL, CPL, MUN, ...: any PE or NE module), an\n"
    "icon file or a folder (- reads one from standard input); its content decides\n"
    "which. `list` prints one line per group; `extract` writes icon group N as\n"
    "N.ico (or as N.bmp, or N.png), cursor group N as N.cur, animated cursor N as\n"
    "cursor-N.ani and animated icon N as icon-N.ani into DIR (the current directory\n"
    "by default, created when missing), in DIR/<file name>/ when the run has\n"
    "several sources. Files are replaced only by complete ones; the source itself\n"
    "never, nor anything at a name that is not a regular file.\n"
    "\n"
    "Selection (may be repeated; a group is taken when any matches):\n"
    "  --index N        the N-th group (1-based, enumeration order)\n"
    "  --id ID          the group with resource identifier ID\n"
    "  --name NAME      the group with text name NAME (ASCII letters without case)\n"
    "  FILE,N  FILE,-ID icon locations as Windows writes them: index N (0-based),\n"
    "                   identifier ID (only when FILE,N itself is no file)\n"
    "  --type icon|cursor|all   which groups (default icon; animated ones included)\n"
    "  --lang LANGID    the user's language for the language choice (0x0804 or\n"
    "                   " VANTORICO_USER_LANGUAGE
    "  --all-languages  extract: every language of each group, as N-0x0409.ico, ...\n"
    "Sources:\n"
    "  -r, --recursive  descend into subfolders of folder arguments\n"
    "  --include GLOB   only files in folders whose name matches (repeatable)\n"
    "  --files-from LIST  read more FILEs from LIST, one a line (- for stdin)\n"
    "  -0, --null       names in LIST end with a NUL byte (find -print0)\n"
    "  -j, --jobs N     work on N threads: N sources at once, and the groups of\n"
    "                   one source (default: the online CPUs); the output is\n"
    "                   that of -j 1\n"
    "  --timeout SECONDS  a source that takes longer to read fails (default:\n"
    "                   none for one file, 60 for several)\n"
    "  --no-redirect    read a System32/SysWOW64 file without icons as it is, not\n"
    "                   its SystemResources/<name>.mun\n"
    "Output:\n"
    "  -o, --output DIR  the folder, created with every missing level\n"
    "  --format " VANTORICO_FORMATS
    "  bmp: the first DIB image that decodes (else the\n"
    "                   largest PNG image) as a bitmap file\n"
#ifdef VANTORICO_HAVE_PNG
    "  --size N         png: the image whose longer side is N pixels, else the next\n"
    "                   larger scaled down, else the largest scaled up, to fit an\n"
    "                   N x N box (area average down, bilinear up); N.png per group\n"
    "  --best           png: the largest, then deepest image as it is (default)\n"
    "  --all-sizes      png: every image as it is, as N-WxH-Bbpp.png\n"
#endif
    "  --output-name TEMPLATE  names from {n}, {id}, {name}, {lang}, {type} and\n"
    "                   {source} (wrestool's: {source}_{type}_{name}_{lang}); the\n"
    "                   extension follows, anything unsafe in a name becomes _\n"
    "  --exact-images   ico: each image byte for byte as stored (biSizeImage kept)\n"
    "  --hashes         MD5 and SHA-256 of stored images, SHA-256 of files written\n"
    "  --orphans        icon images no group lists, one group each after the groups\n"
    "  --on-conflict overwrite|skip|rename   an output name that exists (default\n"
    "                   overwrite; rename writes N-2.ico, N-3.ico, ...)\n"
    "  --json           one JSON document (an array of them for several sources)\n"
    "  --jsonl          one JSON document per source, one a line\n"
    "  -q, --quiet      errors only;  -v, --verbose  notices and a summary\n"
    "Options take their value as `--type all` or `--type=all`; `--` ends them.\n"
    "\n"
    "Exit status:\n"
    "  0  everything asked for was written\n"
    "  1  nothing to extract (no groups of the kinds asked, only empty ones, or a\n"
    "     selection that names no group)\n"
    "  2  usage error\n"
    "  3  a FILE is not a program or icon file, cannot be read, or has groups that\n"
    "     cannot be read; a folder or file in a folder cannot be reached\n"
    "  4  some output could not be written\n";

namespace {

// How many sources -j may read at once: each holds its bytes and outputs.
constexpr long kMaxJobs = 64;
constexpr long kMaxTimeoutSeconds = 86400 * 365;

bool ParseNumber(const std::string& text, long max, long* value) {
  if (text.empty() || text.size() > 9) return false;
  long v = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    v = v * 10 + (c - '0');
  }
  if (v > max) return false;
  *value = v;
  return true;
}

// Seconds as digits with an optional fraction of up to 9 digits ("2",
// "0.5"), above 0 and up to kMaxTimeoutSeconds, as nanoseconds.
bool ParseSeconds(const std::string& text, uint64_t* nanoseconds) {
  const size_t dot = text.find('.');
  const std::string whole = text.substr(0, dot);
  std::string part = dot == std::string::npos ? std::string() : text.substr(dot + 1);
  long n = 0, fraction = 0;
  if (whole.empty() ? part.empty() : !ParseNumber(whole, kMaxTimeoutSeconds, &n)) return false;
  if (dot != std::string::npos) {
    if (part.empty() || part.size() > 9) return false;
    part.resize(9, '0');
    if (!ParseNumber(part, 999999999, &fraction)) return false;
  }
  const uint64_t value = static_cast<uint64_t>(n) * 1000000000 + static_cast<uint64_t>(fraction);
  if (value == 0 || value > static_cast<uint64_t>(kMaxTimeoutSeconds) * 1000000000) return false;
  *nanoseconds = value;
  return true;
}

bool ParseId(const std::string& text, uint16_t* id) {
  // Decimal, or hex with 0x, as identifiers are written.
  return ParseLanguageId(text, id);
}

}  // namespace

bool SplitIconLocation(const std::string& text, std::string* file, Selector* selector) {
  const size_t comma = text.rfind(',');
  if (comma == std::string::npos || comma == 0) return false;
  std::string tail = text.substr(comma + 1);
  while (!tail.empty() && tail.front() == ' ') tail.erase(0, 1);
  const bool negative = !tail.empty() && tail[0] == '-';
  const std::string digits = negative ? tail.substr(1) : tail;
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
      })) {
    return false;
  }
  // A number past any index or identifier is still a location: one that
  // names no group.
  long value = 0;
  const bool inRange = ParseNumber(digits, negative ? 0xFFFF : 0x7FFFFFFE, &value);
  std::string path = text.substr(0, comma);
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    path = path.substr(1, path.size() - 2);
  }
  if (path.empty()) return false;
  *file = path;
  selector->spelled = text.substr(comma);
  selector->none = !inRange;
  if (negative) {
    selector->kind = Selector::Id;
    selector->id = static_cast<uint16_t>(value);
  } else {
    selector->kind = Selector::Index;
    selector->index = static_cast<int32_t>(value + 1);
  }
  return true;
}

std::string ParseOptions(const std::vector<std::string>& args, Options* o) {
  if (args.empty()) return "no command given (try --help)";
  o->command = args[0];
  if (o->command != "list" && o->command != "extract") {
    return "unknown command '" + o->command + "' (try --help)";
  }
  const bool extract = o->command == "extract";
  bool pngOption = false;  // --size, --best or --all-sizes was given
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
    const auto flag = [&](const char* name) { return a == name && !inline_value; };
    std::string v;
    if (options_done || a.empty() || a[0] != '-' || a == "-") {
      o->files.push_back(args[i]);
    } else if (a == "--") {
      options_done = true;
    } else if (flag("--json")) {
      o->json = true;
    } else if (flag("--jsonl")) {
      o->jsonl = true;
    } else if (flag("-r") || flag("--recursive")) {
      o->recursive = true;
    } else if (flag("--all-languages") && extract) {
      o->allLanguages = true;
    } else if (flag("--exact-images") && extract) {
      o->exactImages = true;
    } else if (flag("--hashes")) {
      o->hashes = true;
    } else if (flag("--orphans")) {
      o->orphans = true;
    } else if (flag("--no-redirect")) {
      o->noRedirect = true;
    } else if (flag("-q") || flag("--quiet")) {
      o->verbosity = 0;
    } else if (flag("-v") || flag("--verbose")) {
      o->verbosity = 2;
    } else if ((a == "-o" || a == "--output") && extract) {
      if (!take_value(&o->outputDir) || o->outputDir.empty()) {
        return "option " + a + " needs a directory";
      }
    } else if (a == "--format" && extract) {
      if (!take_value(&v)) return "option --format needs ico, bmp or png";
      if (v != "ico" && v != "bmp" && v != "png") {
        return "unknown format '" + v + "' (ico, bmp or png)";
      }
#ifndef VANTORICO_HAVE_PNG
      if (v == "png") return "PNG export is not part of this build";
#endif
      o->bitmap = v == "bmp";
      o->png = v == "png";
    } else if (a == "--size" && extract) {
      if (!take_value(&v)) return "option --size needs a number of pixels";
      long n = 0;
      if (!ParseNumber(v, kMaxThumbnailSize, &n) || n == 0) {
        return "option --size needs a number of pixels from 1 to " +
               std::to_string(kMaxThumbnailSize);
      }
      o->pngSize = static_cast<uint32_t>(n);
      pngOption = true;
    } else if (flag("--best") && extract) {
      o->pngSize = 0;
      pngOption = true;
    } else if (flag("--all-sizes") && extract) {
      o->allSizes = true;
      pngOption = true;
    } else if (a == "--on-conflict" && extract) {
      if (!take_value(&v)) return "option --on-conflict needs overwrite, skip or rename";
      if (v == "overwrite") {
        o->conflict = Conflict::Overwrite;
      } else if (v == "skip") {
        o->conflict = Conflict::Skip;
      } else if (v == "rename") {
        o->conflict = Conflict::Rename;
      } else {
        return "unknown --on-conflict '" + v + "' (overwrite, skip or rename)";
      }
    } else if (a == "--type") {
      if (!take_value(&v)) return "option --type needs icon, cursor or all";
      o->allTypes = v == "all";
      if (v == "icon") {
        o->types = {GroupType::Icon, GroupType::AniIcon};
      } else if (v == "cursor") {
        o->types = {GroupType::Cursor, GroupType::AniCursor};
      } else if (v == "all") {
        o->types = {GroupType::Icon, GroupType::Cursor, GroupType::AniCursor, GroupType::AniIcon};
      } else {
        return "unknown --type '" + v + "' (icon, cursor or all)";
      }
    } else if (a == "--index" || a == "--id" || a == "--name") {
      if (!take_value(&v)) return "option " + a + " needs a value";
      Selector s;
      s.spelled = a + " " + v;
      long n = 0;
      if (a == "--index") {
        if (!ParseNumber(v, 0x7FFFFFFF, &n) || n < 1) {
          return "--index takes a group number from 1 ('" + v + "' is not one)";
        }
        s.kind = Selector::Index;
        s.index = static_cast<int32_t>(n);
      } else if (a == "--id") {
        if (!ParseId(v, &s.id)) return "--id takes a resource identifier 0..65535 ('" + v + "')";
        s.kind = Selector::Id;
      } else {
        if (v.empty()) return "--name needs a name";
        s.kind = Selector::Name;
        s.name = v;
      }
      o->selectors.push_back(s);
    } else if (a == "--lang") {
      if (!take_value(&v) || !ParseLanguageId(v, &o->language)) {
        return "--lang takes a language identifier such as 0x0804 or 2052";
      }
      o->haveLanguage = true;
    } else if (a == "--include") {
      if (!take_value(&v) || v.empty()) return "option --include needs a pattern";
      o->includes.push_back(v);
    } else if (a == "--output-name" && extract) {
      if (!take_value(&o->outputName)) return "option --output-name needs a template";
      const std::string bad = CheckNameTemplate(o->outputName);
      if (!bad.empty()) return bad;
    } else if (a == "-j" || a == "--jobs") {
      long n = 0;
      if (!take_value(&v) || !ParseNumber(v, kMaxJobs, &n) || n < 1) {
        return "option " + a + " needs a number of sources to read at once, 1 to " +
               std::to_string(kMaxJobs);
      }
      o->jobs = static_cast<unsigned>(n);
    } else if (a == "--timeout") {
      if (!take_value(&v) || !ParseSeconds(v, &o->timeout)) {
        return "option --timeout needs a number of seconds above 0, up to " +
               std::to_string(kMaxTimeoutSeconds);
      }
    } else if (flag("-0") || flag("--null")) {
      o->nullSeparated = true;
    } else if (a == "--files-from") {
      if (!take_value(&o->filesFrom) || o->filesFrom.empty()) {
        return "option --files-from needs a file";
      }
    } else {
      return "unknown option '" + a + "' for " + o->command;
    }
  }
  if (o->json && o->jsonl) return "--json and --jsonl exclude each other";
  if (o->files.empty() && o->filesFrom.empty()) return o->command + " needs a FILE";
  if (pngOption && !o->png) return "--size, --best and --all-sizes go with --format png";
  if (o->hashes && extract && !o->json && !o->jsonl)
    return "extract --hashes goes with --json or --jsonl";
  if (o->exactImages && (o->png || o->bitmap)) return "--exact-images goes with ico and cur output";
  if (o->nullSeparated && o->filesFrom.empty()) return "--null goes with --files-from";
  if (o->jobs == 0) o->jobs = std::min<unsigned>(OnlineCpus(), kMaxJobs);
  return std::string();
}

}  // namespace vantorico

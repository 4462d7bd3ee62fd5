#pragma once
// The command line of `vantorico`, parsed.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/group_listing.h"

namespace vantorico {

// Which groups a run takes: by position (1-based), identifier or text name.
struct Selector {
  enum Kind { Index, Id, Name } kind = Index;
  int32_t index = 0;
  uint16_t id = 0;
  std::string name;
  std::string spelled;  // as the user wrote it, for messages
  bool none = false;    // a location past any group there can be: it names none
};

enum class Conflict { Overwrite, Skip, Rename };

// How long one source of a run of several may take to read, unless
// --timeout says otherwise; a single file has no limit.
constexpr uint64_t kBatchTimeout = 60 * uint64_t{1000000000};  // nanoseconds

struct Options {
  std::string command;
  std::vector<std::string> files;
  std::string filesFrom;
  bool nullSeparated = false;  // --null: the list's names end in NUL, not a line end
  std::string outputDir = ".";
  bool json = false;
  bool jsonl = false;
  bool bitmap = false;
  bool png = false;
  uint32_t pngSize = 0;   // --size N; 0: the best image as it is (--best)
  bool allSizes = false;  // --all-sizes: every image as N-WxH-Bbpp.png
  bool recursive = false;
  bool noRedirect = false;
  int verbosity = 1;  // 0 with -q, 2 with -v
  std::vector<std::string> includes;
  std::vector<Selector> selectors;
  std::vector<GroupType> types{GroupType::Icon, GroupType::AniIcon};
  bool allTypes = false;
  Conflict conflict = Conflict::Overwrite;
  bool allLanguages = false;
  bool haveLanguage = false;
  uint16_t language = 0;
  unsigned jobs = 0;         // -j N: sources read at once; 0: the online CPUs
  uint64_t timeout = 0;      // --timeout SECONDS per source, in nanoseconds; 0: not given
  std::string outputName;    // --output-name TEMPLATE; empty: N.ico and the like
  bool exactImages = false;  // --exact-images: .ico images byte for byte as stored
  bool hashes = false;       // --hashes: digests of stored images and written files
  bool orphans = false;      // --orphans: RT_ICON resources no group lists, one group each
};

// Parses args (the command first); an empty result means success.
std::string ParseOptions(const std::vector<std::string>& args, Options* o);

// "FILE,N" (0-based index) and "FILE,-ID" (resource identifier), as shortcuts
// and the registry write icon locations: the file part (without quotes
// around it) and the selector. False when the text has no such tail.
bool SplitIconLocation(const std::string& text, std::string* file, Selector* selector);

extern const char kUsage[];

}  // namespace vantorico

#pragma once
// Where a run's outputs go: the folder of each source, the name of each
// output, and the conflict rule with the names the run has already used.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/group_listing.h"
#include "iconlib/file_io.h"

namespace vantorico {

// What became of one output (or of a group that made none).
enum class OutputStatus { Ready, Written, Skipped, Empty, Unreadable, Refused, Failed };
// The word the JSON documents use; Ready (made, not yet written) is never shown.
const char* StatusWord(OutputStatus status);

// The file name of group index; suffix (a language, a size) follows the
// number, or the stem when there is one (from --output-name).
std::string LeafOf(const Options& o, GroupType type, int32_t index, const std::string& suffix,
                   const std::string& stem);

class OutputPlan {
 public:
  explicit OutputPlan(const Options& o) : o_(o) {}

  // The folder a source's outputs go to, made when first needed: the output
  // folder, or in a run of several sources its subfolder for this source.
  // False when it cannot be made (problem() says why).
  bool Folder(const std::string& sourcePath, bool batch, std::string* folder);
  const std::string& problem() const { return problem_; }

  // Writes one output under the conflict rule, at a name no other output of
  // the run has had: a second output of one name (two images of one size and
  // depth, a language stored twice) takes the next free -N. skip and rename
  // create their names without replacing, in one step, so that a file another
  // process puts there meanwhile is kept. *path becomes the name used.
  OutputStatus Write(std::string* path, const std::vector<uint8_t>& bytes,
                     const FileIdentity& source, std::string* message);

 private:
  const Options& o_;
  bool ready_ = false;
  bool failed_ = false;
  std::string problem_;
  std::map<std::string, std::string> folders_;  // per source path: its folder
  std::set<std::string> usedNames_;             // the folders' names
  std::set<std::string> claimed_;               // every output name the run has used or tried
  std::map<std::string, uint64_t> nextSuffix_;  // per output name: the next -N to try
};

}  // namespace vantorico

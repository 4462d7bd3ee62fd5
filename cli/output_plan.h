#pragma once
// Where a run's outputs go: the folder of each source, the name of each
// output, and the conflict rule with the names the run has already used.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/function_ref.h"
#include "cli/group_listing.h"
#include "cli/threads.h"
#include "iconlib/platform/file_io.h"

namespace vantorico {

// What became of one output (or of a group that made none).
enum class OutputStatus { Ready, Written, Skipped, Empty, Unreadable, Refused, Failed };
// The word the JSON documents use; Ready (made, not yet written) is never shown.
const char* StatusWord(OutputStatus status);

// The file name of group index; suffix (a language, a size) follows the
// number, or the stem when there is one (from --output-name).
std::string LeafOf(const Options& o, GroupType type, int32_t index, const std::string& suffix,
                   const std::string& stem);

// The sources whose folders may take each other's names in a run of several:
// those whose leaves are one name once the ~N endings the run adds are cut.
// Sources of different families never meet in a folder, so only a family's
// sources need to be placed in the run's order.
std::string FolderFamily(const std::string& sourcePath);

class OutputPlan {
  struct Room;

 public:
  explicit OutputPlan(const Options& o) : o_(o) {}
  OutputPlan(const OutputPlan&) = delete;
  OutputPlan& operator=(const OutputPlan&) = delete;

  // Where a source's outputs go: its folder and its turn at the folder's names.
  class Place {
   public:
    bool ok() const { return ok_; }
    const std::string& folder() const { return folder_; }
    const std::string& problem() const { return problem_; }

   private:
    friend class OutputPlan;
    bool ok_ = false;
    std::string folder_;
    std::string problem_;
    Room* room_ = nullptr;
    uint64_t ticket_ = 0;
  };

  // The place of a source that has outputs to write: the output folder, or
  // in a run of several sources its subfolder for this source. Called in the
  // order of the sources of one family (FolderFamily), from any thread; the
  // output folder is made by the first call. Not ok when that fails
  // (problem() says why).
  Place Take(const std::string& sourcePath, bool batch);

  // From any thread: makes the place's folder when it is a source's own
  // (batch); false when it cannot be made (*problem says why).
  bool MakeFolder(const Place& place, bool batch, std::string* problem) const;

  // A source's writes into its place, from any thread: the sources that
  // share a folder write in the order they took their places.
  class Writing {
   public:
    Writing(OutputPlan& plan, const Place& place);
    ~Writing();
    Writing(const Writing&) = delete;
    Writing& operator=(const Writing&) = delete;

    // Writes one output under the conflict rule, at a name no other output
    // of the run has had: a second output of one name (two images of one
    // size and depth, a language stored twice) takes the next free -N. skip
    // and rename create their names without replacing, in one step, so that
    // a file another process puts there meanwhile is kept. *path becomes the
    // name used.
    OutputStatus Write(std::string* path, ByteSpan bytes, const FileIdentity& source,
                       std::string* message);

    // Whether the name an output gets is known before it is written: under
    // --on-conflict rename it is not (a name another file has is passed over).
    bool NamesBeforeWrites() const;
    // Where NamesBeforeWrites: gives *path the name Write would use, claimed
    // for it, without writing; false (with *message) when none is free.
    bool Claim(std::string* path, std::string* message);
    // Writes one output at a name Claim gave, from any thread.
    OutputStatus WriteClaimed(const std::string& path, ByteSpan bytes, const FileIdentity& source,
                              std::string* message) const;

   private:
    // Gives *path the first name of it (then -2, -3, ...) the run has not
    // used that take accepts (take may pass a name over by saying false);
    // false (with *message) when none is left.
    bool TakeName(std::string* path, std::string* message,
                  FunctionRef<bool(const std::string&)> take);

    OutputPlan& plan_;
    const Place& place_;
  };

 private:
  // The names of one folder: its outputs' and the next -N of each.
  struct Room {
    std::set<std::string> claimed;               // every output name the run has used or tried
    std::map<std::string, uint64_t> nextSuffix;  // per output name: the next -N to try
    uint64_t tickets = 0;                        // places taken in this folder
    uint64_t served = 0;                         // places done writing
  };

  const Options& o_;
  Monitor monitor_;  // guards what follows; a Room's names belong to its writer
  bool ready_ = false;
  bool failed_ = false;
  std::string problem_;
  std::map<std::string, std::string> folders_;  // per source path: its folder
  std::set<std::string> usedNames_;             // the folders' names
  std::map<std::string, Room> rooms_;           // per folder (as the run compares names)
};

}  // namespace vantorico

#pragma once
// `vantorico extract`, in two steps: the outputs of a source are made
// (reading and decoding), then written under the run's plan of names, both
// on any thread; only the taking of a source's place keeps the run's order.
#include <memory>
#include <string>
#include <vector>

#include "base/chunk_arena.h"
#include "cli/cli_options.h"
#include "cli/output_build.h"
#include "cli/output_plan.h"
#include "cli/run_log.h"
#include "cli/source_gathering.h"
#include "cli/threads.h"
#include "cli/work_pool.h"

namespace vantorico {

// One output of a source (or a group that makes none), made and not yet written.
struct MadeOutput {
  GroupSummary group;        // its name and languages
  bool hasLanguage = false;  // the source knows the language of what was read
  bool perLanguage = false;  // --all-languages: the name and messages say the language
  uint16_t languageId = 0;
  OutputStatus status = OutputStatus::Ready;
  std::string message;
  std::vector<Piece> pieces;
};

// The room a source's outputs are made in, kept until they are written;
// the threads that make them share it.
class SourceRoom final : public OutputRoom {
 public:
  uint8_t* Room(size_t length) override;

 private:
  Monitor monitor_;
  ChunkArena arena_;
};

struct MadeSource {
  std::string file;
  std::string redirectedFrom;
  SourceKind kind = SourceKind::Module;
  FileIdentity identity;
  std::vector<Selector> selectors;
  std::vector<bool> matched;
  int32_t total = 0;                 // groups of the kinds asked, selected or not
  std::unique_ptr<SourceRoom> room;  // what outputs' pieces made in place lie in
  std::vector<MadeOutput> outputs;
};

// Makes every output of an opened source, decoded ones on the pool's free
// threads too; says nothing.
MadeSource MakeOutputs(const Options& o, const LanguageOrder& baseOrder, OpenedForRun& opened,
                       std::vector<Selector> selectors, WorkPool& pool);

// Whether what was made has outputs to write, so that the source needs a
// place in the plan (taken in the run's order).
bool NeedsPlace(const MadeSource& made);

// Writes what was made into its place (from any thread, with the pool's
// free threads), says it into the log, and counts it; the result is the
// source's exit code.
int WriteOutputs(const Options& o, const SourceArg& arg, bool batch, MadeSource& made,
                 OutputPlan* plan, const OutputPlan::Place& place, WorkPool& pool, RunLog* log,
                 Totals* totals);

}  // namespace vantorico

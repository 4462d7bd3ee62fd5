#pragma once
// The sources of a run: the names given (on the command line and in
// --files-from), the files of folders named, and each opened as its
// content says, a System32 file without icons by its .mun.
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/run_log.h"
#include "iconlib/formats/icon_source.h"
#include "iconlib/formats/language_choice.h"

namespace vantorico {

// A source of the run: named on the command line (or in --files-from), or
// found in a folder named there.
struct SourceArg {
  std::string path;
  std::vector<Selector> selectors;  // its own, from "FILE,N"
  bool named = true;
  bool standardInput = false;  // "-": the bytes of standard input
  std::string realFolder;      // a walked file's folder, links resolved; "" when not known
};

// Every source, in order; *folders says whether a folder was named. What
// cannot be read or reached is said and counted; the result is the exit
// code so far.
int GatherSources(const Options& o, RunLog* log, Totals* totals, std::vector<SourceArg>* sources,
                  bool* folders);

// A source opened for the run: source is null when there is nothing to read
// (code says why: passed over in a folder, or not readable).
struct OpenedForRun {
  std::unique_ptr<IconSource> source;
  std::string file;            // what is read
  std::string redirectedFrom;  // the file named, when its .mun is read instead
  int code = 0;
};

// Opens a source with the run's language order, says what the run does
// with it, and counts it.
OpenedForRun OpenForRun(const Options& o, const SourceArg& arg, const LanguageOrder& order,
                        RunLog* log, Totals* totals);

}  // namespace vantorico

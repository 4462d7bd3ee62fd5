#pragma once
// `vantorico list`: one line or one JSON object per group of a source.
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/run_log.h"
#include "cli/source_gathering.h"

namespace vantorico {

// The JSON document `list --json` makes of one opened source, said nowhere.
std::string ListDocument(const Options& o, IconSource& source, const std::string& file,
                         const std::string& redirectedFrom, const std::vector<Selector>& selectors);

// Lists an opened source into the log; the result is its exit code.
int ListSource(const Options& o, const SourceArg& arg, bool batch, OpenedForRun& opened,
               const std::vector<Selector>& selectors, RunLog* log, Totals* totals);

}  // namespace vantorico

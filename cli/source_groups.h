#pragma once
// What both commands ask of a source's groups: which kinds it has, which
// groups the selection takes, how messages and documents name them.
#include "cli/function_ref.h"
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/group_listing.h"
#include "cli/json_writer.h"
#include "cli/run_log.h"

namespace vantorico {

// The kinds of group read from a source: an icon file has icons only.
std::vector<GroupType> TypesOf(const Options& o, const IconSource& source);

// Whether any selector takes the group (all do when there are none); an
// icon file's one group has a position but no name. Sets matched[i] for
// each selector that takes it.
bool Selected(const std::vector<Selector>& selectors, IconSource& source, const GroupSummary& g,
              std::vector<bool>* matched);

// Calls take(g) for each group of the kinds asked that the selection takes,
// g described (not read); the result is how many groups of those kinds
// there are, selected or not. *matched says which selectors took a group.
int32_t ForEachSelected(const Options& o, IconSource& source,
                        const std::vector<Selector>& selectors, std::vector<bool>* matched,
                        FunctionRef<void(const GroupSummary& g)> take);

// Selectors that named no group are said once each (in a folder's files,
// only with -v); true when there were any.
bool ReportUnmatched(const std::vector<Selector>& selectors, const std::vector<bool>& matched,
                     const std::string& file, bool named, RunLog* log);

// "'FILE' has no icon groups" and the like, for the kinds asked.
std::string NoGroupsText(const Options& o, const std::string& file);

// How messages name a group of a type: "group", "cursor group", ...
const char* WhatOf(GroupType type);

// The keys every document of a source starts with; kind null: not opened.
JsonObject DocumentHead(const std::string& command, const std::string& file,
                        const std::string& redirectedFrom, const SourceKind* kind);

}  // namespace vantorico

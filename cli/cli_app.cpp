#include "cli/cli_app.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "cli/cli_options.h"
#include "cli/cli_paths.h"
#include "cli/extract_command.h"
#include "cli/file_seam.h"
#include "cli/list_command.h"
#include "cli/ordered_work.h"
#include "cli/output_plan.h"
#include "cli/run_log.h"
#include "cli/source_gathering.h"
#include "cli/source_groups.h"
#include "cli/source_order.h"
#include "cli/text_escape.h"
#include "iconlib/formats/deadline.h"
#include "iconlib/formats/language_choice.h"

#ifndef VANTORICO_VERSION
#define VANTORICO_VERSION "0"
#endif

namespace vantorico {
namespace {

// What the reading and writing of one source said and counted, waiting for
// its turn to be said.
struct ReadSourceResult {
  RunLog log{1};
  Totals totals;
  int code = kExitOk;
};

// Nanoseconds as seconds the way the user may write them: "60", "0.5".
std::string SecondsText(uint64_t nanoseconds) {
  std::string fraction = std::to_string(nanoseconds % 1000000000);
  fraction.insert(0, 9 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return std::to_string(nanoseconds / 1000000000) + (fraction.empty() ? "" : "." + fraction);
}

// How many sources may be done and not yet said, per job and at least: what
// is held is only what they say, and one slow source (a program of many
// icons, begun late in a folder) must not hold the others up while it is
// made.
constexpr size_t kSaidAheadPerJob = 32;
constexpr size_t kSaidAheadLeast = 512;
// How many of the largest sources are begun first, per job (see
// source_order.h): those that would end the run alone.
constexpr size_t kBegunFirstPerJob = 2;

// A run: its sources are read and written (on -j threads), each taking its
// place in the plan of names after the earlier sources whose folders it may
// meet, then said one after another in the order given, so that the output,
// the names and the exit code are those of a run on one thread.
class Run {
 public:
  Run(const Options& o, const CliEnvironment& env, CliSink& sink)
      : o_(o),
        sink_(sink),
        baseOrder_(UserLanguageOrder(o.haveLanguage ? o.language : env.userLanguage)),
        plan_(o),
        pool_(o.jobs > 1 ? o.jobs - 1 : 0) {}

  int Execute() {
    std::vector<SourceArg> sources;
    bool folders = false;
    RunLog gathering(o_.verbosity);
    int code = GatherSources(o_, &gathering, &totals_, &sources, &folders);
    Say(gathering);
    if (code != kExitOk && sources.empty()) return code;
    single_ = sources.size() == 1 && !folders;
    const bool batch = !single_;
    if (o_.json && batch) Out("[");
    // Per source, the last source before it of its folder family: it takes
    // its place after that one's.
    std::vector<size_t> after(sources.size(), kNoItem);
    std::map<std::string, size_t> lastOfFamily;
    for (size_t i = 0; i < sources.size(); ++i) {
      auto last = lastOfFamily.emplace(FolderFamily(sources[i].path), i);
      if (!last.second) after[i] = std::exchange(last.first->second, i);
    }
    const unsigned jobs = o_.jobs;
    // A ring of results: only so many sources are done ahead of the one said.
    const size_t ahead = std::max(jobs * kSaidAheadPerJob, kSaidAheadLeast);
    std::vector<ReadSourceResult> results(std::min(sources.size(), ahead));
    if (batch && !sources.empty()) sink_.Progress(0, sources.size(), ShownText(sources[0].path));
    // The largest sources are begun first, looked up while the first ones
    // are read.
    struct Largest final : FirstItems {
      Largest(const std::vector<SourceArg>& s, const std::vector<size_t>& a, size_t w, size_t c)
          : sources(s), after(a), window(w), count(c) {}
      std::vector<size_t> Choose() override {
        return LargestSources(sources, after, window, count);
      }
      const std::vector<SourceArg>& sources;
      const std::vector<size_t>& after;
      const size_t window, count;
    } largest(sources, after, ahead, jobs * kBegunFirstPerJob);
    RunInOrder(
        pool_, sources.size(), ahead,
        [&](size_t i, InTurn& turn) {
          ReadOne(sources[i], batch, after[i], turn, &results[i % results.size()]);
        },
        [&](size_t i) {
          ReadSourceResult& r = results[i % results.size()];
          code = Worse(code, Finish(sources[i], &r));
          r = ReadSourceResult();
          if (batch && i + 1 < sources.size()) {
            sink_.Progress(i + 1, sources.size(), ShownText(sources[i + 1].path));
          }
        },
        batch ? &largest : nullptr);
    if (o_.json && batch) Out(firstDocument_ ? "]\n" : "\n]\n");
    if (batch) sink_.Progress(sources.size(), sources.size(), std::string());
    return Summary(code, batch);
  }

 private:
  // Reads a source and makes what it asks for, then writes it in its place
  // (taken in turn, after the source `after`); touches nothing else of the
  // run. A source whose reading outlasts the timeout fails as a whole.
  void ReadOne(const SourceArg& arg, bool batch, size_t after, InTurn& turn, ReadSourceResult* r) {
    r->log = RunLog(o_.verbosity);
    const uint64_t timeout = o_.timeout ? o_.timeout : batch ? kBatchTimeout : 0;
    const Deadline deadline(timeout);
    const DeadlineScope reading(deadline);
    // What the reading says and counts is kept back until it is known to
    // have ended in time.
    RunLog said(o_.verbosity);
    Totals counted;
    OpenedForRun opened = OpenForRun(o_, arg, baseOrder_, &said, &counted);
    MadeSource made;
    int code = opened.code;
    if (opened.source) {
      std::vector<Selector> selectors = o_.selectors;
      selectors.insert(selectors.end(), arg.selectors.begin(), arg.selectors.end());
      if (o_.command == "list") {
        code = ListSource(o_, arg, batch, opened, selectors, &said, &counted);
      } else {
        made = MakeOutputs(o_, baseOrder_, opened, std::move(selectors), pool_);
      }
    }
    if (deadline.Passed()) {
      const std::string problem = Quote(opened.file) + " took more than " + SecondsText(timeout) +
                                  " seconds to read (--timeout); not read";
      r->log.Error(problem);
      r->log.Document(DocumentHead(o_.command, opened.file, opened.redirectedFrom, nullptr)
                          .Number("status", static_cast<int>(kExitBadInput))
                          .String("error", problem)
                          .Json("groups", "[]")
                          .Text());
      r->totals.sources = 1;
      r->totals.unreadable = 1;
      r->code = kExitBadInput;
      return;
    }
    r->log.Append(said);
    r->totals += counted;
    if (!opened.source || o_.command == "list") {
      r->code = code;
      return;
    }
    opened = OpenedForRun();  // the source is read: its file closes
    OutputPlan::Place place;
    if (NeedsPlace(made)) {
      turn.Take(after);
      place = plan_.Take(arg.path, batch);
    }
    turn.Pass();
    r->code = WriteOutputs(o_, arg, batch, made, &plan_, place, pool_, &r->log, &r->totals);
  }

  // Says what a source's reading and writing said; its exit code.
  int Finish(const SourceArg& arg, ReadSourceResult* r) {
    Say(r->log);
    totals_ += r->totals;
    const int code = r->code;
    return (arg.named || code != kExitNothingToExtract) ? code : kExitOk;
  }

  int Summary(int code, bool batch) {
    RunLog log(o_.verbosity);
    const bool extract = o_.command == "extract";
    if ((extract && batch && o_.verbosity > 0) || o_.verbosity > 1) {
      // Each count with what it counts; the last three only when not 0.
      const struct {
        size_t count;
        const char* what;
        bool shown;
      } parts[] = {
          {totals_.sources, totals_.sources == 1 ? " source" : " sources", true},
          {totals_.written, " written", extract},
          {totals_.skipped, " skipped", extract},
          {totals_.unreadable, " unreadable", true},
          {totals_.failed, " not written", extract},
          {totals_.iconless, " without icons", totals_.iconless != 0},
          {totals_.passed, " other files passed", totals_.passed != 0},
          {totals_.unreached, " not reached", totals_.unreached != 0},
      };
      std::string line;
      for (const auto& part : parts) {
        if (!part.shown) continue;
        if (!line.empty()) line += ", ";
        line += std::to_string(part.count);
        line += part.what;
      }
      log.Note(line);
    }
    if (code == kExitOk && totals_.sources == 0 && totals_.unreached == 0) {
      code = kExitNothingToExtract;
      log.Error("no program or icon files in the folders given");
    } else if (code == kExitOk && extract && totals_.written == 0 && totals_.skipped == 0) {
      code = kExitNothingToExtract;
      if (batch) log.Error("nothing to extract");
    }
    Say(log);
    if (!outOk_ && (code == kExitOk || code == kExitNothingToExtract)) {
      sink_.Err("vantorico: cannot write to standard output\n");
      code = kExitOutputFailed;
    }
    return code;
  }

  void Out(const std::string& text) {
    if (!sink_.Out(text)) outOk_ = false;
  }

  // What a log says, in order; what goes to standard output between two
  // messages on standard error in one write (a source's 184 output names
  // are one system call, not 184).
  void Say(const RunLog& log) {
    std::string out;
    for (const RunLog::Entry& e : log.entries()) {
      switch (e.channel) {
        case RunLog::Channel::Out:
          out += e.text;
          break;
        case RunLog::Channel::Err:
          if (!out.empty()) Out(std::exchange(out, std::string()));
          sink_.Err(e.text);
          break;
        case RunLog::Channel::Document:
          out += DocumentText(e.text);
          break;
      }
    }
    if (!out.empty()) Out(out);
  }

  // A document as the run prints it: a line of its own, or an element of
  // the run's one array.
  std::string DocumentText(const std::string& doc) {
    if (o_.jsonl || (o_.json && single_)) return doc + "\n";
    if (!o_.json) return std::string();
    const bool first = std::exchange(firstDocument_, false);
    return (first ? "\n" : ",\n") + doc;
  }

  const Options& o_;
  CliSink& sink_;
  const LanguageOrder baseOrder_;
  OutputPlan plan_;
  WorkPool pool_;  // started with the run, so that its threads are ready when the sources are
  Totals totals_;
  bool single_ = true;
  bool outOk_ = true;
  bool firstDocument_ = true;
};

class CollectingSink final : public CliSink {
 public:
  CollectingSink(std::string* out, std::string* err) : out_(out), err_(err) {}
  bool Out(const std::string& text) override {
    *out_ += text;
    return true;
  }
  void Err(const std::string& text) override { *err_ += text; }

 private:
  std::string* out_;
  std::string* err_;
};

}  // namespace

// A first word that is no command but names a file: the user left the
// command out. The message says how to read it.
std::string MissingCommandHint(const std::string& word) {
  if (TypeOfPath(word) == PathType::None) return std::string();
  return "; to read that file: vantorico list " + Quote(word) + " or vantorico extract " +
         Quote(word);
}

int RunCli(const std::vector<std::string>& args, const CliEnvironment& env, CliSink& sink) {
  const auto usageError = [&](const std::string& problem) {
    sink.Err("vantorico: " + problem + "\n");
    return kExitUsage;
  };
  const auto help = [&] { return sink.Out(kUsage) ? kExitOk : kExitOutputFailed; };
  if (!args.empty() && args[0] == "help") {
    if (args.size() == 1 || (args.size() == 2 && (args[1] == "list" || args[1] == "extract"))) {
      return help();
    }
    return usageError("help takes list, extract or nothing, not '" + args[1] + "'");
  }
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "--version") &&
      args.size() > 1) {
    return usageError(args[0] + " takes no arguments ('" + args[1] + "' given)");
  }
  for (const std::string& a : args) {
    if (a == "--") break;
    if (a == "--help" || a == "-h") return help();
    if (a == "--version") {
      return sink.Out("vantorico " VANTORICO_VERSION "\n") ? kExitOk : kExitOutputFailed;
    }
  }
  if (!args.empty() && args[0] != "list" && args[0] != "extract") {
    const std::string hint = MissingCommandHint(args[0]);
    if (!hint.empty()) return usageError("unknown command '" + args[0] + "'" + hint);
  }
  Options o;
  const std::string problem = ParseOptions(args, &o);
  if (!problem.empty()) return usageError(problem);
  Run run(o, env, sink);
  return run.Execute();
}

int RunCli(const std::vector<std::string>& args, std::string* out, std::string* err) {
  CliEnvironment env;
  env.userLanguage = UserLanguageOfSystem();
  CollectingSink sink(out, err);
  return RunCli(args, env, sink);
}

}  // namespace vantorico

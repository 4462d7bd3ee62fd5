#include "cli/extract_command.h"

#include <memory>
#include <utility>

#include "cli/cli_app.h"
#include "cli/cli_paths.h"
#include "cli/ordered_work.h"
#include "cli/output_name.h"
#include "cli/source_groups.h"
#include "cli/text_escape.h"
#include "cli/threads.h"
#include "iconlib/formats/deadline.h"
#include "iconlib/images/icon_hashes.h"

namespace vantorico {
namespace {

// One entry of a document's "outputs".
struct OutputRecord {
  const MadeOutput* made;
  const std::string* language;  // "" when unknown
  OutputStatus status;
  std::string path;
  uint64_t bytes = 0;
  std::string message;
  std::string sha256;  // of the file written, with --hashes
};

std::string OutputsJson(const MadeSource& made, const std::vector<OutputRecord>& records) {
  JsonArray outputs;
  for (const OutputRecord& r : records) {
    const GroupSummary& g = r.made->group;
    JsonObject one;
    one.String("type", WordOf(g.type)).Number("index", g.index);
    AddGroupName(&one, g, made.kind);
    if (r.language->empty()) {
      one.Null("language");
    } else {
      one.String("language", *r.language);
    }
    one.String("status", StatusWord(r.status));
    if (!r.path.empty()) one.String("path", r.path);
    if (r.status == OutputStatus::Written) one.Number("bytes", r.bytes);
    if (!r.sha256.empty()) {
      one.String("sha256", r.sha256).Json("images", ImagesJson(g));
    }
    if (!r.message.empty()) one.String("message", r.message);
    outputs.Json(one.Text());
  }
  return outputs.Text();
}

// The name --output-name gives an output, before its extension.
std::string StemOf(const Options& o, const SourceArg& arg, const MadeSource& made,
                   const MadeOutput& out) {
  const GroupSummary& g = out.group;
  NameFields f;
  f.n = std::to_string(g.index);
  if (made.kind == SourceKind::Module && !g.textName) f.id = std::to_string(g.id);
  f.name = g.textName ? g.text : f.id.empty() ? f.n : f.id;
  f.lang = std::to_string(out.languageId);
  f.type = std::to_string(ResourceTypeOf(g.type));
  f.source = BaseName(arg.path);
  return NameFromTemplate(o.outputName, f);
}

// Makes the output of group g (out.group says it in the documents).
MadeOutput MakeOutput(const Options& o, IconSource& source, const GroupSummary& g, OutputRoom& room,
                      MadeOutput out, bool perLanguage, uint16_t language) {
  out.perLanguage = perLanguage;
  out.hasLanguage = !g.languages.empty();
  out.languageId = perLanguage ? language : out.hasLanguage ? g.languages[g.chosenLanguage] : 0;
  out.status = BuildOutput(o, source, g.type, g.index, room, &out.pieces, &out.message);
  return out;
}

// The turn a thread's group passes once its one read of the source is done
// (an icon group's ReadGroup); null while the group holds its turn until it
// is made.
thread_local InTurn* passAfterRead = nullptr;

// The source's guard: a monitor used as a lock, whose unlocking ends the
// read of an icon group and so passes that group's turn.
class MonitorGuard final : public SourceGuard {
 public:
  void Lock() override { monitor_.Lock(); }
  void Unlock() override {
    monitor_.Unlock();
    if (passAfterRead) std::exchange(passAfterRead, nullptr)->Pass();
  }

 private:
  Monitor monitor_;
};

// The outputs of groups (one each) made on up to -j threads. Each group's
// reads of the source and draws on its budgets follow the earlier group's,
// so that the budgets refuse the groups one thread would: an icon group is
// read in one call (then decoded and built while the next is read); other
// kinds draw on the budgets again as they are made, so they hold their turn
// until made.
void MakeOnThreads(const Options& o, IconSource& source, const std::vector<GroupSummary>& groups,
                   OutputRoom& room, WorkPool& pool, std::vector<MadeOutput>* outputs) {
  const Deadline* deadline = ThreadDeadline();
  std::vector<MadeOutput> made(groups.size());
  std::vector<char> done(groups.size(), 0);  // one byte each: set from the threads
  MonitorGuard guard;
  source.SetGuard(&guard);
  RunInOrder(
      pool, groups.size(), groups.size(),
      [&](size_t i, InTurn& turn) {
        const Deadline none;
        const DeadlineScope scope(deadline ? *deadline : none);
        turn.Take(i > 0 ? i - 1 : kNoItem);
        // Past the run's deadline the source fails as a whole: nothing more is made.
        if (PastDeadline()) return;
        if (groups[i].type == GroupType::Icon) passAfterRead = &turn;
        MadeOutput out;
        out.group = groups[i];
        made[i] = MakeOutput(o, source, groups[i], room, std::move(out), false, 0);
        passAfterRead = nullptr;
        done[i] = 1;
      },
      [](size_t) {});
  source.SetGuard(nullptr);
  for (size_t i = 0; i < groups.size(); ++i) {
    if (done[i]) outputs->push_back(std::move(made[i]));
  }
}

}  // namespace

uint8_t* SourceRoom::Room(size_t length) {
  monitor_.Lock();
  uint8_t* room = arena_.Room(length);
  monitor_.Unlock();
  return room;
}

MadeSource MakeOutputs(const Options& o, const LanguageOrder& baseOrder, OpenedForRun& opened,
                       std::vector<Selector> selectors, WorkPool& pool) {
  IconSource& source = *opened.source;
  MadeSource made;
  made.file = opened.file;
  made.redirectedFrom = opened.redirectedFrom;
  made.kind = source.kind();
  made.identity = source.identity();
  made.selectors = std::move(selectors);
  made.room.reset(new SourceRoom);
  // One output per group, each read on its own: groups that are decoded
  // (PNG and bitmap outputs) may be made on -j threads. Copies are made in
  // order here: their reads keep the source's order anyway, and handing each
  // group to another thread costs more than the copy. With --all-languages
  // the reader's order changes per output, and --hashes reads a group twice,
  // so those runs read in order too.
  const bool decodes = o.png || o.bitmap;
  const bool onThreads =
      o.jobs > 1 && decodes && !o.allLanguages && !(o.hashes && (o.json || o.jsonl));
  std::vector<GroupSummary> groups;
  made.total =
      ForEachSelected(o, source, made.selectors, &made.matched, [&](const GroupSummary& g) {
        if (onThreads) {
          groups.push_back(g);
          return;
        }
        // Past the run's deadline the source fails as a whole: nothing more is made.
        if (PastDeadline()) return;
        // One output per group; with --all-languages one per language it is stored in.
        std::vector<int> languages{-1};
        if (o.allLanguages && !g.languages.empty()) {
          languages.clear();
          for (size_t l = 0; l < g.languages.size(); ++l) languages.push_back(static_cast<int>(l));
        }
        for (int l : languages) {
          const uint16_t language = l < 0 ? 0 : g.languages[static_cast<size_t>(l)];
          if (l >= 0) {
            // That language first; images it lacks come by the run's order.
            LanguageOrder order = baseOrder;
            order.insert(order.begin(), language);
            source.module()->SetLanguageOrder(order);
          }
          MadeOutput out;
          // --hashes: the images' digests for the document, read in the
          // language this output takes.
          out.group =
              o.hashes && (o.json || o.jsonl) ? SummariseGroup(source, g.type, g.index, true) : g;
          made.outputs.push_back(
              MakeOutput(o, source, g, *made.room, std::move(out), l >= 0, language));
        }
        if (languages.front() >= 0) source.module()->SetLanguageOrder(baseOrder);
      });
  if (!groups.empty()) MakeOnThreads(o, source, groups, *made.room, pool, &made.outputs);
  return made;
}

bool NeedsPlace(const MadeSource& made) {
  for (const MadeOutput& out : made.outputs) {
    if (out.status == OutputStatus::Ready) return true;
  }
  return false;
}

int WriteOutputs(const Options& o, const SourceArg& arg, bool batch, MadeSource& made,
                 OutputPlan* plan, const OutputPlan::Place& place, WorkPool& pool, RunLog* log,
                 Totals* totals) {
  const std::string prefix = batch ? Quote(arg.path) + ": " : std::string();
  std::vector<OutputRecord> records;
  // Per record: the bytes of its file (null for a group that makes none),
  // and whether they are still to be written at the name claimed.
  std::vector<const Piece*> bytesOf;
  std::vector<bool> toWrite;
  size_t written = 0, failed = 0, unreadable = 0, skipped = 0;
  bool folderFailed = false;
  bool folderMade = false;          // the place's folder is made once, for its first output
  size_t folderFailure = SIZE_MAX;  // the record that says the folder failed
  std::string folderProblem = place.problem();
  std::unique_ptr<OutputPlan::Writing> writing;
  if (place.ok()) writing.reset(new OutputPlan::Writing(*plan, place));
  // With names known before the writes, the files are written on -j threads
  // once every name is given; otherwise each write waits for the one before.
  const bool namesFirst = writing && writing->NamesBeforeWrites() && o.jobs > 1;
  // The outputs' language texts, kept while the records point at them.
  std::vector<std::string> languages;
  languages.reserve(made.outputs.size());
  for (MadeOutput& out : made.outputs) {
    languages.push_back(out.hasLanguage || out.perLanguage ? LanguageIdText(out.languageId)
                                                           : std::string());
    const std::string& language = languages.back();
    const std::string what = std::string(WhatOf(out.group.type)) + " " +
                             std::to_string(out.group.index) +
                             (out.perLanguage ? " (" + language + ")" : std::string());
    OutputRecord r{&out, &language, out.status, "", 0, out.message, ""};
    if (r.status == OutputStatus::Empty) {
      r.message = what + " has no images; nothing to extract";
    } else if (r.status == OutputStatus::Unreadable || r.status == OutputStatus::Refused) {
      r.message = what + " " + r.message;
    } else if (folderFailed || !place.ok() ||
               !(folderMade = folderMade || plan->MakeFolder(place, batch, &folderProblem))) {
      if (!folderFailed) folderFailure = records.size();
      folderFailed = true;
      r.status = OutputStatus::Failed;
      r.message = folderProblem;
    } else {
      const std::string stem = o.outputName.empty() ? std::string() : StemOf(o, arg, made, out);
      const bool languageNamed = !stem.empty() && TemplateNamesLanguage(o.outputName);
      for (const Piece& piece : out.pieces) {
        OutputRecord one = r;
        one.path =
            Join(place.folder(),
                 LeafOf(o, out.group.type, out.group.index,
                        (out.perLanguage && !languageNamed ? "-" + language : std::string()) +
                            piece.suffix,
                        stem));
        bool claimed = false;
        if (!namesFirst) {
          one.status = writing->Write(&one.path, piece.Bytes(), made.identity, &one.message);
        } else if (writing->Claim(&one.path, &one.message)) {
          claimed = true;
        } else {
          one.status = OutputStatus::Failed;
        }
        records.push_back(one);
        bytesOf.push_back(&piece);
        toWrite.push_back(claimed);
      }
      continue;
    }
    records.push_back(r);
    bytesOf.push_back(nullptr);
    toWrite.push_back(false);
  }
  // The claimed names' files, on up to -j threads; what they met is said
  // below in the outputs' order.
  std::vector<size_t> writes;
  for (size_t k = 0; k < records.size(); ++k) {
    if (toWrite[k]) writes.push_back(k);
  }
  RunInOrder(
      pool, writes.size(), writes.size(),
      [&](size_t w, InTurn&) {
        OutputRecord& one = records[writes[w]];
        one.status = writing->WriteClaimed(one.path, bytesOf[writes[w]]->Bytes(), made.identity,
                                           &one.message);
      },
      [](size_t) {});
  for (size_t k = 0; k < records.size(); ++k) {
    OutputRecord& one = records[k];
    switch (one.status) {
      case OutputStatus::Written:
        one.bytes = bytesOf[k]->Bytes().size();
        if (o.hashes) one.sha256 = DigestText(Sha256Of(bytesOf[k]->Bytes()));
        ++written;
        if (!o.json && !o.jsonl && o.verbosity > 0) log->Out(ShownText(one.path) + "\n");
        break;
      case OutputStatus::Skipped:
        ++skipped;
        one.message = Quote(one.path) + " exists; skipped";
        log->Verbose(prefix + one.message);
        break;
      case OutputStatus::Empty:
        log->Error(prefix + one.message);
        break;
      case OutputStatus::Unreadable:
      case OutputStatus::Refused:
        log->Error(prefix + one.message);
        ++unreadable;
        break;
      default:
        // A folder that cannot be made is said once, for its first output.
        ++failed;
        if (bytesOf[k] || k == folderFailure) log->Error(one.message);
        break;
    }
  }
  // Written: the bytes are no longer needed.
  for (MadeOutput& out : made.outputs) std::vector<Piece>().swap(out.pieces);
  made.room.reset();
  writing.reset();  // the folder's next source may write
  totals->written += written;
  totals->skipped += skipped;
  totals->failed += failed;
  totals->unreadable += unreadable;
  int code = kExitOk;
  std::string problem;
  if (failed > 0) {
    code = kExitOutputFailed;
  } else if (made.total == 0) {
    problem = NoGroupsText(o, made.file);
    code = kExitNothingToExtract;
    ++totals->iconless;
  } else if (unreadable > 0) {
    code = kExitBadInput;
  } else if (ReportUnmatched(made.selectors, made.matched, made.file, arg.named, log)) {
    code = kExitNothingToExtract;
  } else if (written == 0 && skipped == 0) {
    problem = "nothing to extract";
    code = kExitNothingToExtract;
  }
  if (!problem.empty() && (arg.named || o.verbosity > 1)) {
    log->Error((problem.front() == '\'' ? "" : prefix) + problem);
  }
  if (o.json || o.jsonl) {
    JsonObject doc = DocumentHead(o.command, made.file, made.redirectedFrom, &made.kind);
    doc.Number("status", code);
    if (!problem.empty()) doc.String("error", problem);
    log->Document(doc.Json("outputs", OutputsJson(made, records)).Text());
  }
  return code;
}

}  // namespace vantorico

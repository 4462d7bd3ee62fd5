#include "cli/extract_command.h"

#include <memory>

#include "cli/cli_app.h"
#include "cli/cli_paths.h"
#include "cli/output_name.h"
#include "cli/source_groups.h"
#include "cli/text_escape.h"
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

}  // namespace

MadeSource MakeOutputs(const Options& o, const LanguageOrder& baseOrder, OpenedForRun& opened,
                       std::vector<Selector> selectors) {
  IconSource& source = *opened.source;
  MadeSource made;
  made.file = opened.file;
  made.redirectedFrom = opened.redirectedFrom;
  made.kind = source.kind();
  made.identity = source.identity();
  made.selectors = std::move(selectors);
  made.total =
      ForEachSelected(o, source, made.selectors, &made.matched, [&](const GroupSummary& g) {
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
          out.perLanguage = l >= 0;
          out.hasLanguage = !g.languages.empty();
          out.languageId = l >= 0 ? language : out.hasLanguage ? g.languages[g.chosenLanguage] : 0;
          out.status = BuildOutput(o, source, g.type, g.index, &out.pieces, &out.message);
          made.outputs.push_back(std::move(out));
        }
        if (languages.front() >= 0) source.module()->SetLanguageOrder(baseOrder);
      });
  return made;
}

bool NeedsPlace(const MadeSource& made) {
  for (const MadeOutput& out : made.outputs) {
    if (out.status == OutputStatus::Ready) return true;
  }
  return false;
}

int WriteOutputs(const Options& o, const SourceArg& arg, bool batch, MadeSource& made,
                 OutputPlan* plan, const OutputPlan::Place& place, RunLog* log, Totals* totals) {
  const std::string prefix = batch ? Quote(arg.path) + ": " : std::string();
  std::vector<OutputRecord> records;
  size_t written = 0, failed = 0, unreadable = 0, skipped = 0;
  bool folderFailed = false;
  std::string folderProblem = place.problem();
  std::unique_ptr<OutputPlan::Writing> writing;
  if (place.ok()) writing.reset(new OutputPlan::Writing(*plan, place));
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
      log->Error(prefix + r.message);
    } else if (r.status == OutputStatus::Unreadable || r.status == OutputStatus::Refused) {
      r.message = what + " " + r.message;
      log->Error(prefix + r.message);
      ++unreadable;
    } else if (folderFailed || !place.ok() || !plan->MakeFolder(place, batch, &folderProblem)) {
      if (!folderFailed) log->Error(folderProblem);
      folderFailed = true;
      r.status = OutputStatus::Failed;
      r.message = folderProblem;
      ++failed;
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
        one.status = writing->Write(&one.path, piece.bytes, made.identity, &one.message);
        if (one.status == OutputStatus::Written) {
          one.bytes = piece.bytes.size();
          if (o.hashes) {
            one.sha256 = DigestText(Sha256Of(ByteSpan(piece.bytes.data(), piece.bytes.size())));
          }
          ++written;
          if (!o.json && !o.jsonl && o.verbosity > 0) log->Out(ShownText(one.path) + "\n");
        } else if (one.status == OutputStatus::Skipped) {
          ++skipped;
          one.message = Quote(one.path) + " exists; skipped";
          log->Verbose(prefix + one.message);
        } else {
          ++failed;
          log->Error(one.message);
        }
        records.push_back(one);
      }
      // Written: the bytes are no longer needed.
      std::vector<Piece>().swap(out.pieces);
      continue;
    }
    records.push_back(r);
  }
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

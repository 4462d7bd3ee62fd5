#include "iconlib/command/extract_file_icon.h"

#include <new>
#include <vector>

#include "iconlib/command/extension_key.h"
#include "iconlib/platform/file_io.h"

namespace vantorico {
namespace {

// What the engine keeps of one source between calls: its group count and
// the groups the tool's loop reaches, read once. Nothing stays open.
struct SourceSnapshot {
  std::string path;
  FileStamp stamp;
  SourceKind kind = SourceKind::Unsupported;
  int32_t groupCount = 0;
  FileIdentity identity;
  std::vector<GroupRead> groups;  // groups 1 .. groups.size()
};

struct EngineState {
  bool cacheEnabled = true;
  std::unique_ptr<SourceSnapshot> snapshot;
};

EngineState& State() {
  static EngineState state;
  return state;
}

bool IsEmptyText(const char* text) {
  return !text || text[0] == '\0';
}

ExtractOutcome OutcomeOf(ExtractStatus status) {
  switch (status) {
    case ExtractStatus::Written:
      return ExtractOutcome::Written;
    case ExtractStatus::NothingAsked:
    case ExtractStatus::NoSuchGroup:
      return ExtractOutcome::NothingAsked;
    case ExtractStatus::UnreadableGroup:
    case ExtractStatus::OverBudget:
      return ExtractOutcome::GroupUnreadable;
    case ExtractStatus::RefusedImage:
      return ExtractOutcome::RefusedImage;
    case ExtractStatus::WriteFailed:
      return ExtractOutcome::WriteFailed;
    case ExtractStatus::SameAsSource:
      return ExtractOutcome::SameAsSource;
  }
  return ExtractOutcome::NothingAsked;
}

// Reads the source and the groups within the tool's reach, then lets the
// file go. Null when the source cannot be opened (*outcome says why).
std::unique_ptr<SourceSnapshot> TakeSnapshot(SourceKind kind, const char* path,
                                             const FileStamp& stamp, ExtractOutcome* outcome) {
  OpenedSource opened = OpenIconSource(path, kind, ModuleAccess::Platform);
  if (!opened.source) {
    *outcome = ExtractOutcome::SourceUnreadable;
    return nullptr;
  }
  std::unique_ptr<SourceSnapshot> snap(new (std::nothrow) SourceSnapshot());
  if (!snap) {
    *outcome = ExtractOutcome::SourceUnreadable;
    return nullptr;
  }
  IconSource& source = *opened.source;
  snap->path = path;
  snap->stamp = stamp;
  snap->kind = kind;
  snap->groupCount = source.GroupCount();
  snap->identity = source.identity();
  const int32_t reach = snap->groupCount < MaxIconGroups ? snap->groupCount : MaxIconGroups;
  snap->groups.reserve(static_cast<size_t>(reach));
  for (int32_t i = 1; i <= reach; ++i) snap->groups.push_back(source.ReadGroup(i));
  return snap;
}

}  // namespace

SourceKind SourceKindOfPath(const char* path) {
  if (HasExtensionKey(path, "ico")) return SourceKind::IconFile;
  if (HasExtensionKey(path, "exe") || HasExtensionKey(path, "dll") ||
      HasExtensionKey(path, "icl")) {
    return SourceKind::Module;
  }
  return SourceKind::Unsupported;
}

OutputKind OutputKindOfPath(const char* path) {
  if (HasExtensionKey(path, "ico")) return OutputKind::IconFile;
  if (HasExtensionKey(path, "bmp")) return OutputKind::BitmapFile;
  return OutputKind::Nothing;
}

int32_t ExtractIconGroup(SourceKind kind, const char* sourcePath, ExtractMode mode,
                         OutputKind output, const char* outputPath, int32_t index,
                         ExtractReport* report) {
  ExtractReport local;
  if (!report) report = &local;
  *report = ExtractReport();
  if (mode == ExtractToFile && IsEmptyText(outputPath)) return 0;
  if (IsEmptyText(sourcePath)) {
    report->outcome = ExtractOutcome::NoPath;
    return 0;
  }
  if (kind == SourceKind::Unsupported) {
    report->outcome = ExtractOutcome::UnsupportedSource;
    return 0;
  }
  EngineState& state = State();
  // The key is checked on every call without opening the file; any change
  // of path, size or last write reads the source again.
  FileStamp stamp;
  const bool stamped = StampOfPath(sourcePath, &stamp);
  SourceSnapshot* snap = state.snapshot.get();
  std::unique_ptr<SourceSnapshot> uncached;
  if (!state.cacheEnabled || !stamped || !snap || snap->kind != kind || snap->path != sourcePath ||
      !(snap->stamp == stamp)) {
    state.snapshot.reset();
    std::unique_ptr<SourceSnapshot> fresh = TakeSnapshot(kind, sourcePath, stamp, &report->outcome);
    if (!fresh) {
      // An icon file counts as one group even when it cannot be read.
      return kind == SourceKind::IconFile && index == 1 ? 1 : 0;
    }
    snap = fresh.get();
    if (state.cacheEnabled && stamped) {
      state.snapshot = std::move(fresh);
    } else {
      uncached = std::move(fresh);
    }
  }
  const int32_t count = snap->groupCount;
  if (count == 0) {
    report->outcome = ExtractOutcome::NoGroups;
    return 0;
  }
  if (index > count) return 0;

  ExtractResult result;
  if (static_cast<size_t>(index) <= snap->groups.size()) {
    const GroupRead& read = snap->groups[static_cast<size_t>(index - 1)];
    result = read.set ? DeliverGroup(*read.set, mode, output, outputPath, &snap->identity)
                      : ResultOfFailedRead(read);
  } else {
    // Past the tool's reach: read this one group afresh.
    OpenedSource opened = OpenIconSource(sourcePath, kind, ModuleAccess::Platform);
    result = opened.source ? ExtractGroup(*opened.source, index, mode, output, outputPath)
                           : ExtractResult{ExtractStatus::UnreadableGroup, 0, {}};
  }
  report->outcome = OutcomeOf(result.status);
  if (result.status == ExtractStatus::WriteFailed || result.status == ExtractStatus::SameAsSource) {
    report->outputPath = outputPath ? outputPath : "";
    report->error = result.error;
  }
  return count;
}

void ExtractFileIcon(ArgSlot* result, int count, ArgSlot* args, ExtractReport* report) {
  ExtractReport local;
  if (!report) report = &local;
  result->value = 0;
  // Only the slots given are read; the rest count as omitted.
  const auto slot = [&](int i) { return i < count ? args[i] : OmittedSlot(); };
  const char* source = count > 0 ? SlotText(args[0]) : nullptr;
  int32_t mode = slot(1).type == kTypeOmitted ? ExtractToClipboard : SlotInt(slot(1));
  if (mode < ExtractToFile || mode > ExtractToClipboard) mode = ExtractToClipboard;
  const char* output = slot(2).type == kTypeOmitted ? nullptr : SlotText(slot(2));
  int32_t index = slot(3).type == kTypeOmitted ? 1 : SlotInt(slot(3));
  if (index < 1) index = 1;
  const auto extract_mode = static_cast<ExtractMode>(mode);
  // The kinds are read from the tool's own text (the extension keys follow its
  // code page); the files are then named to the engine once.
  const OutputKind output_kind =
      extract_mode == ExtractToFile ? OutputKindOfPath(output) : OutputKind::Nothing;
  const std::string source_path = EnginePathOfCodePageText(source);
  const std::string output_path = EnginePathOfCodePageText(output);
  result->value = static_cast<uint32_t>(
      ExtractIconGroup(SourceKindOfPath(source), source_path.c_str(), extract_mode, output_kind,
                       output ? output_path.c_str() : nullptr, index, report));
  // The tool shows the path as it gave it.
  if (!report->outputPath.empty()) report->outputPath = output;
}

void ExtractFileIcon(ArgSlot* result, int count, ArgSlot* args) {
  ExtractFileIcon(result, count, args, nullptr);
}

void ReleaseExtractCache() {
  State().snapshot.reset();
}

void SetExtractCacheEnabled(bool enabled) {
  State().cacheEnabled = enabled;
  State().snapshot.reset();
}

}  // namespace vantorico

#include "cli/output_plan.h"

#include "cli/cli_paths.h"
#include "cli/file_seam.h"

namespace vantorico {
namespace {

// How far --on-conflict rename and names given twice in one run count.
constexpr uint64_t kMaxNameSuffix = 1000000;

// How the run remembers a name it has given an output: on Windows two
// names that differ only in ASCII case are one name.
std::string NameKey(const std::string& path) {
  std::string key = path;
  if (PathSeparator() == '\\') {
    for (char& c : key) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return key;
}

// The status of a write, and the message of a failed one.
OutputStatus Reported(const WriteOutcome& w, const std::string& name, std::string* message) {
  switch (w.status) {
    case WriteOutcome::Written:
      return OutputStatus::Written;
    case WriteOutcome::SameAsSource:
      *message = "not writing " + Quote(name) + ": it is the file being extracted";
      return OutputStatus::Failed;
    case WriteOutcome::NotRegularFile:
      *message = "not replacing " + Quote(name) +
                 ": it is not a regular file (a folder, device, FIFO or socket)";
      return OutputStatus::Failed;
    case WriteOutcome::Exists:
    case WriteOutcome::Failed:
      break;
  }
  *message = "cannot write " + Quote(name) + ": " + ErrorText(w.error);
  return OutputStatus::Failed;
}

// A name and its extension apart: the output of base takes the next -N of them.
struct NameParts {
  std::string stem, ext;
  std::string At(uint64_t n, const std::string& base) const {
    return n == 1 ? base : stem + "-" + std::to_string(n) + ext;
  }
};
NameParts PartsOf(const std::string& base) {
  const size_t leaf = DirName(base).size();
  const size_t dot = base.rfind('.');
  const size_t cut = dot == std::string::npos || dot < leaf ? base.size() : dot;
  return NameParts{base.substr(0, cut), base.substr(cut)};
}
std::string AllTakenText(const std::string& base) {
  return "cannot write " + Quote(base) + ": every name up to -" + std::to_string(kMaxNameSuffix) +
         " is taken";
}

}  // namespace

const char* StatusWord(OutputStatus status) {
  switch (status) {
    case OutputStatus::Ready:
      return "ready";
    case OutputStatus::Written:
      return "written";
    case OutputStatus::Skipped:
      return "skipped";
    case OutputStatus::Empty:
      return "empty";
    case OutputStatus::Unreadable:
      return "unreadable";
    case OutputStatus::Refused:
      return "refused";
    case OutputStatus::Failed:
      break;
  }
  return "failed";
}

std::string LeafOf(const Options& o, GroupType type, int32_t index, const std::string& suffix,
                   const std::string& stem) {
  const std::string n = (stem.empty() ? std::to_string(index) : stem) + suffix;
  const bool animated = type == GroupType::AniCursor || type == GroupType::AniIcon;
  // As PNG a cursor group and an animated one's frames (suffix "-fK") keep
  // their prefix, apart from icon group N's pictures.
  if (!stem.empty() && animated) return n + (o.png ? ".png" : ".ani");
  if (!stem.empty() && type == GroupType::Cursor && o.png) return n + ".png";
  switch (type) {
    case GroupType::Icon:
      return n + (o.png ? ".png" : o.bitmap ? ".bmp" : ".ico");
    case GroupType::Cursor:
      return o.png ? "cursor-" + n + ".png" : n + ".cur";
    case GroupType::AniCursor:
      return "cursor-" + n + (o.png ? ".png" : ".ani");
    case GroupType::AniIcon:
      return "icon-" + n + (o.png ? ".png" : ".ani");
  }
  return n;
}

std::string FolderFamily(const std::string& sourcePath) {
  std::string name = NameKey(BaseName(sourcePath));
  // Every ending ~ and digits: "m~2~3" may meet "m", whose second is "m~2".
  for (;;) {
    const size_t tilde = name.rfind('~');
    if (tilde == std::string::npos || tilde + 1 == name.size() ||
        name.find_first_not_of("0123456789", tilde + 1) != std::string::npos) {
      return name;
    }
    name.resize(tilde);
  }
}

OutputPlan::Place OutputPlan::Take(const std::string& sourcePath, bool batch) {
  Place place;
  monitor_.Lock();
  if (!ready_) {
    SystemError error;
    if (!MakeFolders(o_.outputDir, &error)) {
      problem_ = "cannot create output directory " + Quote(o_.outputDir) + ": " + ErrorText(error);
      failed_ = true;
    }
    ready_ = true;
  }
  if (failed_) {
    place.problem_ = problem_;
    monitor_.Unlock();
    return place;
  }
  if (!batch) {
    place.folder_ = o_.outputDir;
  } else {
    auto known = folders_.find(sourcePath);
    if (known == folders_.end()) {
      // Sources of one name (from different folders) get name~2, name~3, ...
      std::string name = BaseName(sourcePath);
      if (name.empty() || name == "." || name == "..") name = "source";
      std::string unique = name;
      for (int k = 2; usedNames_.count(unique); ++k) unique = name + "~" + std::to_string(k);
      usedNames_.insert(unique);
      known = folders_.emplace(sourcePath, Join(o_.outputDir, unique)).first;
    }
    place.folder_ = known->second;
  }
  place.ok_ = true;
  place.room_ = &rooms_[NameKey(place.folder_)];
  place.ticket_ = place.room_->tickets++;
  monitor_.Unlock();
  return place;
}

bool OutputPlan::MakeFolder(const Place& place, bool batch, std::string* problem) const {
  if (!batch) return true;
  SystemError error;
  if (MakeFolders(place.folder_, &error)) return true;
  *problem = "cannot create output directory " + Quote(place.folder_) + ": " + ErrorText(error);
  return false;
}

OutputPlan::Writing::Writing(OutputPlan& plan, const Place& place) : plan_(plan), place_(place) {
  plan_.monitor_.Lock();
  while (place_.room_->served != place_.ticket_) plan_.monitor_.Wait();
  plan_.monitor_.Unlock();
}

OutputPlan::Writing::~Writing() {
  plan_.monitor_.Lock();
  ++place_.room_->served;
  plan_.monitor_.WakeAll();
  plan_.monitor_.Unlock();
}

bool OutputPlan::Writing::NamesBeforeWrites() const {
  return plan_.o_.conflict != Conflict::Rename;
}

bool OutputPlan::Writing::TakeName(std::string* path, std::string* message,
                                   FunctionRef<bool(const std::string&)> take) {
  Room& room = *place_.room_;
  const std::string base = *path;
  const NameParts parts = PartsOf(base);
  uint64_t& next = room.nextSuffix[NameKey(base)];
  if (next == 0) next = 1;
  for (; next <= kMaxNameSuffix; ++next) {
    const std::string name = parts.At(next, base);
    if (!room.claimed.insert(NameKey(name)).second) continue;
    *path = name;
    if (!take(name)) continue;
    ++next;
    return true;
  }
  *message = AllTakenText(base);
  return false;
}

bool OutputPlan::Writing::Claim(std::string* path, std::string* message) {
  return TakeName(path, message, [](const std::string&) { return true; });
}

OutputStatus OutputPlan::Writing::WriteClaimed(const std::string& path, ByteSpan span,
                                               const FileIdentity& source,
                                               std::string* message) const {
  if (plan_.o_.conflict == Conflict::Overwrite) {
    return Reported(WriteOutputWhole(path, span, &source), path, message);
  }
  const WriteOutcome w = CreateOutputWhole(path, span);
  if (w.status == WriteOutcome::Exists || w.status == WriteOutcome::NotRegularFile) {
    return OutputStatus::Skipped;
  }
  return Reported(w, path, message);
}

OutputStatus OutputPlan::Writing::Write(std::string* path, ByteSpan span,
                                        const FileIdentity& source, std::string* message) {
  if (NamesBeforeWrites()) {
    if (!Claim(path, message)) return OutputStatus::Failed;
    return WriteClaimed(*path, span, source, message);
  }
  // rename: a name another file has is passed over, so each name waits for
  // the write before it.
  WriteOutcome w;
  const bool taken = TakeName(path, message, [&](const std::string& name) {
    w = CreateOutputWhole(name, span);
    return w.status != WriteOutcome::Exists && w.status != WriteOutcome::NotRegularFile;
  });
  return taken ? Reported(w, *path, message) : OutputStatus::Failed;
}

}  // namespace vantorico

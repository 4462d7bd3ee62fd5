#pragma once
// A source opened once: a module, read by range (its headers, its resource
// directory, then the resources asked for), or an icon file, read whole;
// indexed once, serving any number of group reads. Every group read draws on the
// source's output budget, so a hostile file cannot make the engine read (and
// so write) more than a bounded multiple of its own size.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "iconlib/formats/byte_source.h"
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/command/extract_result.h"
#include "iconlib/platform/file_io.h"
#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/icon_image_set.h"
#include "iconlib/formats/module_source.h"
#include "iconlib/formats/source_reader.h"

namespace vantorico {

// A cursor file (.cur) is one cursor group; an animated file (.ani, RIFF
// "ACON") is one animated cursor.
enum class SourceKind { Unsupported, IconFile, Module, CursorFile, AnimatedFile };

// How a module is read: through the platform's loader (the window tool on
// Windows) or the portable reader (every other build and the command line).
enum class ModuleAccess { Platform, Portable };

struct [[nodiscard]] GroupRead {
  ExtractStatus status = ExtractStatus::NoSuchGroup;  // Written means "read"
  GroupFailure why = GroupFailure::None;
  IconImageSetPtr set;
};

struct OpenedSource;

// A lock a caller lends a source so that its groups may be read from several
// threads: every read of the file and every draw on the budgets takes it.
class SourceGuard {
 public:
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

 protected:
  ~SourceGuard() = default;
};

class IconSource {
 public:
  static OpenedSource Open(const char* path, SourceKind kind, ModuleAccess access);
  // The kind decided by the file's content (the portable reader).
  static OpenedSource OpenByContent(const char* path);
  // The same over a file the caller has opened for range reads (the
  // command line opens through its own seam, with wide names on Windows;
  // the thumbnailer before it gives up opening files); path is only kept.
  static OpenedSource OpenBytes(const char* path, OpenedBytes bytes);
  // The same over a file the caller has read whole.
  static OpenedSource OpenReadFile(const char* path, SourceFile file);
  ~IconSource();
  SourceKind kind() const { return kind_; }
  // Module: its icon groups (0 for none). Icon file: 1, read or not.
  int32_t GroupCount() const { return groupCount_; }
  // Adds, after a module's icon groups, one group for each RT_ICON that no
  // RT_GROUP_ICON lists (in the language the reader takes): group
  // GroupCount()+1 on. Once per source; nothing for other kinds. Its few
  // containers throw std::bad_alloc as the command line's own do.
  void IncludeOrphans();
  // Whether icon group index is such an RT_ICON, and its position among
  // the RT_ICON resources.
  bool IsOrphan(int32_t index) const { return index > listedGroups_ && index <= groupCount_; }
  uint32_t OrphanOrdinal(int32_t index) const {
    return orphans_[static_cast<size_t>(index - listedGroups_ - 1)];
  }
  // The groups of a resource type (RT_GROUP_ICON, RT_GROUP_CURSOR,
  // RT_ANICURSOR, RT_ANIICON): a module's count, or 1 for a file of that kind.
  int32_t CountOf(uint16_t resourceType) const;
  // The name of group index (1-based) of a module.
  bool GroupName(int32_t index, ResourceName* name) const;
  // Reads group index (1-based). Status Written means the set is there.
  GroupRead ReadGroup(int32_t index);
  // Reads cursor group index (1-based) of a module or a cursor file, drawing
  // its images from the budget. GroupFailure::None when read.
  [[nodiscard]] GroupFailure ReadCursors(int32_t index, CursorGroup* out);
  // The stored bytes of animated group index (a module's RT_ANICURSOR or
  // RT_ANIICON, or an animated file whole); the caller draws what it
  // writes from the budget.
  [[nodiscard]] GroupFailure AnimatedBytes(uint16_t resourceType, int32_t index, ByteSpan* out);
  const FileIdentity& identity() const { return identity_; }
  // What the source's budget still allows.
  uint64_t BudgetLeft() const { return budget_; }
  // The pixels its groups may still claim (see icon_constants.h).
  uint64_t PixelBudgetLeft() const { return pixelBudget_; }
  // Draws bytes read outside ReadGroup (cursors, animated resources) from
  // the budget; false, drawing nothing, when it does not hold them.
  bool SpendBudget(uint64_t bytes);
  // Draws pixels decoded outside ReadGroup (cursor images made pictures)
  // from the pixel budget; false, drawing nothing, when it does not hold them.
  bool SpendPixels(uint64_t pixels);
  // While guard is set (null: none), ReadGroup, ReadCursors, AnimatedBytes
  // and the draws above may be called from several threads.
  void SetGuard(SourceGuard* guard) { guard_ = guard; }
  // An icon, cursor or animated file's bytes (empty for a module).
  ByteSpan FileBytes() const { return iconBytes_; }
  // The module reader, for callers that walk other resource types.
  ModuleSource* module() const { return module_.get(); }

 private:
  IconSource() = default;
  IconImageSetPtr ReadOrphan(int32_t index, GroupFailure* why);
  // ReadGroup of an icon file's group or an orphan image, with the guard held.
  GroupRead ReadFileOrOrphanGroup(int32_t index);
  // Draws a group's images from both budgets, with the guard held: refused
  // (drawing nothing) when their pixels pass what is left.
  [[nodiscard]] GroupFailure DrawGroup(uint64_t pixels, uint64_t bytes);
  std::vector<uint16_t> ImageIds(int32_t group) const;
  void ReadImagesAhead(int32_t index);
  // Holds the guard (when there is one) while it lives.
  class Held;
  // kind Unsupported: decided by the content.
  static OpenedSource FromBytes(const char* path, SourceKind kind, OpenedBytes bytes);

  SourceKind kind_ = SourceKind::Unsupported;
  std::string path_;
  int32_t groupCount_ = 0;
  int32_t listedGroups_ = 0;  // the RT_GROUP_ICON resources among them
  bool orphansIncluded_ = false;
  std::vector<uint32_t> orphans_;  // RT_ICON positions, after the listed groups
  FileIdentity identity_;
  uint64_t budget_ = 0;
  uint64_t pixelBudget_ = 0;
  SourceGuard* guard_ = nullptr;
  std::unique_ptr<SourceReader> iconReader_;  // an icon file's source
  ReadBlock iconFile_;                    // its bytes, read whole (cursor and animated files too)
  ByteSpan iconBytes_;                    // them, or the bytes of a source in memory
  std::unique_ptr<ModuleSource> module_;  // modules
  const ByteSource* moduleBytes_ = nullptr;  // the portable reader's source, which it owns
};

struct [[nodiscard]] OpenedSource {
  OpenStatus status = OpenStatus::Missing;
  bool notProgramOrIcon = false;                // read, but not a module (or not an icon file)
  ModuleRefusal refusal = ModuleRefusal::None;  // why it is no module, when it is none
  SystemError error;
  std::unique_ptr<IconSource> source;
  bool ok() const { return source != nullptr; }
};

// Opens path as the kind the caller decided (by name for the window tool,
// by content for the command line).
OpenedSource OpenIconSource(const char* path, SourceKind kind, ModuleAccess access);

// What bytes are by their content: MZ with a PE or NE header behind it is a
// module, a header of 0, 1 an icon file, of 0, 2 a cursor file, RIFF "ACON"
// an animated file; anything else is unsupported.
SourceKind SourceKindOfBytes(ByteSpan bytes);

// The budgets of a source of this many bytes (see icon_constants.h).
uint64_t OutputBudgetFor(uint64_t sourceBytes);
uint64_t PixelBudgetFor(uint64_t sourceBytes);

}  // namespace vantorico

#pragma once
// ExtractFileIcon: the library command that reads the index-th icon group of
// a module or an icon file and delivers it to a file or the clipboard, with
// what each call did as a value for its caller.
#include <cstdint>
#include <string>

#include "base/arg_slot.h"
#include "iconlib/command/extract_group.h"

namespace vantorico {

// The kinds the extension keys give: "ico" / "exe", "dll", "icl" as sources,
// "ico" / "bmp" as outputs.
SourceKind SourceKindOfPath(const char* path);
OutputKind OutputKindOfPath(const char* path);

// What one ExtractFileIcon call did.
enum class ExtractOutcome : int32_t {
  NothingAsked = 0,       // the index is past the groups, or mode 0 had no output path
  Written = 1,            // the group was delivered
  NoPath = 2,             // the source path is empty
  UnsupportedSource = 3,  // the source's extension key is none the command reads
  SourceUnreadable = 4,   // missing, held, not a file, not a program file
  NoGroups = 5,           // a module without icon groups
  GroupUnreadable = 6,    // the group cannot be read (damaged, over the budget)
  WriteFailed = 7,        // the system refused the output: see the error
  SameAsSource = 8,       // the output is the source file itself; nothing written
  RefusedImage = 9,       // bitmap or clipboard: no image that can be delivered
};

struct ExtractReport {
  ExtractOutcome outcome = ExtractOutcome::NothingAsked;
  std::string outputPath;  // of a failed write
  SystemError error;
};

// The typed core with the kinds already decided and the arguments already
// normalised (mode 0 or 1, index at least 1). Returns the group count when
// the index names a group, else 0; *report says what happened.
int32_t ExtractIconGroup(SourceKind source, const char* sourcePath, ExtractMode mode,
                         OutputKind output, const char* outputPath, int32_t index,
                         ExtractReport* report = nullptr);

// Slots: source path (text), mode (int, optional), output path (text,
// optional), index (int, optional); slots past count are omitted. The texts
// are the window tool's, in the ANSI code page: the kinds are read from them
// and the paths converted once for the engine. The integer result goes to
// result->value; *report, when given, says what the call did (its output
// path as the caller spelled it).
void ExtractFileIcon(ArgSlot* result, int count, ArgSlot* args, ExtractReport* report);
// The same as a library command, when nothing asks what happened.
void ExtractFileIcon(ArgSlot* result, int count, ArgSlot* args);

// The engine keeps what it has read of the last source (its groups) between
// calls, keyed by the path, the file's size and its last write; tests turn
// that off to compare.
void SetExtractCacheEnabled(bool enabled);
// Lets go of what the engine keeps (the program does so at its end).
void ReleaseExtractCache();

}  // namespace vantorico

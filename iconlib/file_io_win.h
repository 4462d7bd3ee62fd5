#pragma once
// The steps of an output on Windows that do not depend on how names are
// spelled: the window tool's writer (ANSI names, file_io_win.cpp) and the
// console program's (wide names, cli/file_seam_win.cpp) open the files with
// their own entry points and share these.
#include <windows.h>

#include "base/byte_cursor.h"
#include "base/win_handles.h"
#include "iconlib/byte_source.h"
#include "iconlib/file_io.h"

namespace vantorico {

// A source over a file the caller opened for reading (GENERIC_READ; the
// command line opens by wide name): a disk file read by range, with its size
// and identity as they are now. An invalid handle gives Missing with the
// thread's last error.
OpenedBytes ByteSourceOfHandle(UniqueFile file);

// What has an output's name, from a handle opened on the name itself
// (FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
// an invalid handle means nothing does.
struct OutputNameHolder {
  bool present = false;
  bool replaceable = true;  // a file on a disk, or a link to one
  // Attributes the output takes over from a file it replaces (hidden,
  // system, archive, not indexed), else FILE_ATTRIBUTE_NORMAL.
  DWORD keptAttributes = FILE_ATTRIBUTE_NORMAL;
};
OutputNameHolder HolderOfOutputName(HANDLE name);

// Flags for opening a name to learn what holds it.
constexpr DWORD kOutputNameOpenFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr DWORD kOutputNameShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A refusal of what the holder says is at the name.
WriteOutcome RefusalOfHolder(const OutputNameHolder& holder);

// Writes every byte to a file opened for writing; false with the reason.
bool WriteAllToFile(HANDLE file, ByteSpan bytes, SystemError* error);

// The outcome of a move without MOVEFILE_REPLACE_EXISTING that failed with
// error: Exists (or NotRegularFile, after holder) when a name was there.
bool IsExistsError(DWORD error);

}  // namespace vantorico

#pragma once
// The file seam of the engine. Sources are read (whole, or by range through
// byte_source.h) and never mapped, so another process that shrinks or rewrites a source cannot
// fault the reader; a source that is not a regular file is refused before anything can block on it.
// Outputs replace their files whole or not at all: each is written to a new temporary file in the
// same folder and moved over its name only when every byte is written.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/byte_cursor.h"
#include "iconlib/platform/system_error.h"

namespace vantorico {

// Paths are UTF-8 on Windows (the layer calls the system's wide entry points,
// so any name opens) and the system's bytes elsewhere.

// The engine's spelling of a path the window tool holds in the ANSI code page
// (GBK under code page 936): UTF-8 on Windows, the same bytes elsewhere. The
// tool converts once, where its text enters the engine.
std::string EnginePathOfCodePageText(const char* text);

// Which file a path names, as the system knows it: device and inode on
// POSIX, volume serial and file index on Windows.
struct FileIdentity {
  bool known = false;
  uint64_t device = 0;
  uint64_t index = 0;
};
bool SameFile(const FileIdentity& a, const FileIdentity& b);

// What a cache needs to tell a changed file from an unchanged one, read
// without opening the file.
struct FileStamp {
  uint64_t size = 0;
  int64_t modified = 0;  // last write, in the platform's finest unit
  bool operator==(const FileStamp& o) const { return size == o.size && modified == o.modified; }
};
[[nodiscard]] bool StampOfPath(const char* path, FileStamp* stamp);

enum class OpenStatus {
  Opened,
  Missing,         // no such file, or it cannot be opened (held, no permission)
  NotRegularFile,  // a folder, a device, a FIFO, a socket
  ReadFailed,      // an I/O error, or the file changed size while it was read
  NoMemory,
};

// A source read into memory whole, with the identity it had when read.
class FileView {
 public:
  virtual ~FileView() = default;
  virtual ByteSpan bytes() const = 0;
  virtual const FileIdentity& identity() const = 0;
};

struct [[nodiscard]] SourceFile {
  OpenStatus status = OpenStatus::Missing;
  SystemError error;
  std::unique_ptr<FileView> view;
};

// Reads a regular file whole. On Windows the file is opened without sharing.
// (Modules are read by range instead: byte_source.h.)
SourceFile ReadSourceFile(const char* path);

struct [[nodiscard]] WriteOutcome {
  enum Status {
    Written,
    SameAsSource,    // the name is the source's: nothing written
    Exists,          // a no-replace write found a file at the name: nothing written
    NotRegularFile,  // a folder, device, FIFO or socket has the name: nothing written
    Failed,
  } status = Failed;
  SystemError error;  // why, when Failed (the system's "exists" code for Exists and NotRegularFile)
  bool ok() const { return status == Written; }
  explicit operator bool() const { return ok(); }
};

// Writes bytes as the file at path: to a temporary file created exclusively
// in the same folder (never through a link), then moved over path. Only a
// regular file (or a link, which is replaced, not followed) is replaced, and
// it keeps its permissions; anything else at the name is refused. On any
// failure the temporary file is removed and a file already at path stays as
// it was. When source is given and path names that same file, nothing is
// written at all.
WriteOutcome ReplaceFileWhole(const char* path, ByteSpan bytes,
                              const FileIdentity* source = nullptr);

// The same, but the file is put at path only when nothing has that name,
// in one step that no other writer can come between: Exists when a name is
// there already (the caller may try another).
WriteOutcome CreateFileWhole(const char* path, ByteSpan bytes);

// The identity of the file a path names (following links); false when none.
bool IdentityOfPath(const char* path, FileIdentity* identity);

}  // namespace vantorico

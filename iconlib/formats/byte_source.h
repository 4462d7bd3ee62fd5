#pragma once
// The bytes of a source, read by range: a module's headers, its resource
// directory and the resources asked for, never the whole file. Every read is
// checked against the size the source had when it was opened; a read that
// comes back short (the file shrank) or fails marks the source as changed,
// and the caller reports it as a failed read. Files are never mapped: a
// mapping faults when another process shrinks the file.
#include <cstdint>
#include <memory>

#include "base/byte_cursor.h"
#include "base/heap.h"
#include "iconlib/platform/file_io.h"

namespace vantorico {

// A block read from a source; it owns its bytes.
struct [[nodiscard]] ReadBlock {
  HeapBytes bytes;
  size_t size = 0;
  bool ok() const { return bytes != nullptr; }
  ByteSpan span() const { return ByteSpan(bytes.get(), size); }
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  ByteSource(const ByteSource&) = delete;
  ByteSource& operator=(const ByteSource&) = delete;

  // The size seen at open.
  uint64_t size() const { return size_; }
  const FileIdentity& identity() const { return identity_; }
  // Exactly length bytes at offset; nothing when the range does not lie
  // inside size(), when memory runs out, or when the read fails or comes
  // back short (then changed() says so).
  ReadBlock ReadAt(uint64_t offset, size_t length);
  // Fills out with exactly length bytes at offset, which the caller has
  // checked against size(); false marks the source as changed.
  bool ReadInto(uint64_t offset, uint8_t* out, size_t length);
  // A read failed or came back short since the source was opened, or was
  // asked after the thread's deadline (iconlib/formats/deadline.h).
  bool changed() const { return changed_; }
  const SystemError& error() const { return error_; }
  // Total bytes asked of the file so far.
  uint64_t bytesRead() const { return bytesRead_; }
  // The bytes at [offset, offset + length) without a copy, when the source
  // is memory already; false for files.
  virtual bool Direct(uint64_t offset, size_t length, ByteSpan* out) const {
    (void)offset, (void)length, (void)out;
    return false;
  }

 protected:
  ByteSource(uint64_t size, const FileIdentity& identity) : size_(size), identity_(identity) {}
  // The platform's positioned read: exactly length bytes, false on an
  // error or an early end (with error set for an error).
  virtual bool Fill(uint64_t offset, uint8_t* out, size_t length, SystemError* error) = 0;

 private:
  uint64_t size_;
  FileIdentity identity_;
  bool changed_ = false;
  SystemError error_;
  uint64_t bytesRead_ = 0;
};

struct [[nodiscard]] OpenedBytes {
  OpenStatus status = OpenStatus::Missing;
  SystemError error;
  std::unique_ptr<ByteSource> source;
};

// Opens a regular file for range reads (file_io_posix.cpp, file_io_win.cpp),
// with the same checks and statuses as ReadSourceFile. On Windows others may
// read the file while it is open, but not change it.
OpenedBytes OpenByteSource(const char* path);

// The whole of an opened source as a view (an icon or cursor file, a list
// of names): NoMemory past limit bytes, ReadFailed when it reads short.
SourceFile ReadWholeSource(OpenedBytes opened, uint64_t limit);

// Bytes the caller keeps alive (tests, fuzzing, a buffer handed over).
std::unique_ptr<ByteSource> ByteSourceOfBytes(ByteSpan bytes);
// A file read whole, kept by the source.
std::unique_ptr<ByteSource> ByteSourceOfView(std::unique_ptr<FileView> view);
// A block read from a stream (standard input), kept by the source.
std::unique_ptr<ByteSource> ByteSourceOfBlock(ReadBlock block);

}  // namespace vantorico

#pragma once
// The thumbnailer's two files, both opened before the worker is confined.
// The input is read only through its descriptor. The output is written in
// place, in the file the client named: clients such as tumbler create that
// file, keep it open and read the picture back through their own handle, so
// it is never replaced by another file; it is written whole through one
// descriptor and cut to the length written. POSIX only.
#include <cstdint>
#include <string>

#include "base/byte_cursor.h"
#include "base/posix_descriptor.h"
#include "iconlib/platform/file_io.h"

namespace vantorico {

enum class InputStatus {
  Opened,
  Missing,         // no such file, or a folder on the way is missing
  Unreadable,      // no permission, or the system refused it otherwise
  NotRegularFile,  // a folder, device, FIFO or socket
};

struct [[nodiscard]] OpenedInput {
  InputStatus status = InputStatus::Missing;
  SystemError error;
  PosixDescriptor fd;
  FileIdentity identity;
  uint64_t size = 0;
};

// Opens path for reading without waiting on it: a FIFO is refused, not
// waited on for a writer.
OpenedInput OpenInput(const char* path);

enum class OutputStatus {
  Opened,
  Link,            // a symbolic link: never followed, never replaced
  NotRegularFile,  // a folder, device, FIFO or socket: never opened
  ManyNames,       // a file with other hard links, whose contents they share
  SameAsInput,     // the input itself, by this or another name
  Changed,         // another file took the name while it was opened
  OpenFailed,
};

const char* OutputStatusText(OutputStatus status);

struct OpenedOutput;

class InPlaceOutput {
 public:
  // Opens path to be written in place: the regular file of one name that
  // is there (never through a link, and never the input), or a new file
  // created exclusively. Anything else at the name is refused without being
  // opened, so a device or FIFO is left exactly as it was.
  static OpenedOutput Open(const char* path, const FileIdentity& input);

  InPlaceOutput() = default;
  InPlaceOutput(InPlaceOutput&&) = default;
  InPlaceOutput& operator=(InPlaceOutput&&) = default;

  int fd() const { return fd_.get(); }
  bool created() const { return created_; }

  // Writes bytes from offset 0 and cuts the file to their length.
  [[nodiscard]] bool WriteWhole(ByteSpan bytes, SystemError* error) const;
  // After a failure: no picture stays. The file is cut to nothing and, when
  // this run created it and the name still names it, removed.
  void Discard();
  // Closes the file; false with the reason when the system reports a late
  // write error.
  [[nodiscard]] bool Close(SystemError* error);

 private:
  std::string path_;
  PosixDescriptor fd_;
  FileIdentity identity_;
  bool created_ = false;
};

struct [[nodiscard]] OpenedOutput {
  OutputStatus status = OutputStatus::OpenFailed;
  SystemError error;  // why, when OpenFailed
  InPlaceOutput output;
};

}  // namespace vantorico

#pragma once
// The file seam of the engine. Input files are opened for reading without
// sharing; output files are created always, without sharing, and every write
// goes straight to the file so that its count can be compared.
#include <cstdint>
#include <memory>

#include "base/byte_cursor.h"

namespace vantorico {

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to count bytes; *got says how many came.
  virtual bool Read(void* buffer, uint32_t count, uint32_t* got) = 0;
  // Positions at an absolute offset from the start.
  virtual bool Seek(uint32_t offset) = 0;
  virtual uint64_t Size() const = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // One write; true only when all count bytes were written.
  virtual bool Write(const void* bytes, uint32_t count) = 0;
};

// A read-only view of a whole file.
class FileView {
 public:
  virtual ~FileView() = default;
  virtual ByteSpan bytes() const = 0;
};

// Each returns null on failure (missing file, held by another process,
// directory that does not exist, no memory).
std::unique_ptr<InputFile> OpenInputFile(const char* path);
std::unique_ptr<OutputFile> CreateOutputFile(const char* path);
std::unique_ptr<FileView> OpenFileView(const char* path);

// An input file over bytes the caller keeps alive, for tests and fuzzing.
std::unique_ptr<InputFile> OpenMemoryInputFile(ByteSpan bytes);

}  // namespace vantorico

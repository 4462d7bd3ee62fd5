#pragma once
// How the portable module readers reach a source's bytes: small structures
// (headers, directory levels, names) through a few cached pages, so walking
// a resource directory costs a few reads of the pages it lies in; resource
// bytes kept for as long as the reader lives, so the spans a module hands
// out stay readable. Nothing else of the file is read.
#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "base/chunk_arena.h"
#include "iconlib/formats/byte_source.h"

namespace vantorico {

class SourceReader {
 public:
  explicit SourceReader(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}

  uint64_t size() const { return source_->size(); }
  ByteSource& source() { return *source_; }
  bool changed() const { return source_->changed(); }

  // length bytes at offset, readable until the next Peek; false when the
  // range does not lie in the file or cannot be read.
  bool Peek(uint64_t offset, size_t length, ByteSpan* out);
  bool U8At(uint64_t offset, uint8_t* value);
  bool U16At(uint64_t offset, uint16_t* value);
  bool U32At(uint64_t offset, uint32_t* value);

  // length bytes at offset, readable while the reader lives. The same range
  // is read once; all kept ranges together stay under the file's size plus
  // a floor, so ranges that overlap in a hostile file cannot multiply it.
  bool Keep(uint64_t offset, size_t length, ByteSpan* out);

  // Ranges (offset, length) that Keep will be asked for, read in as few
  // reads as their layout allows: ranges near each other (a gap of a few
  // KiB, a bound on the bytes read for no range) in one. A range already
  // kept, lying in one page, or past the file is left to Keep.
  void KeepAhead(std::vector<std::pair<uint64_t, size_t>> ranges);

 private:
  struct Page {
    uint64_t start = 0;
    uint64_t lastUse = 0;
    ReadBlock block;
  };
  const Page* PageOf(uint64_t start);
  // Whether [offset, offset + length) lies in one page read already.
  bool InPage(uint64_t offset, size_t length) const;

  std::unique_ptr<ByteSource> source_;
  std::vector<Page> pages_;
  uint64_t clock_ = 0;
  ReadBlock scratch_;                                     // a Peek across pages or larger than one
  ChunkArena arena_;                                      // what Keep and KeepAhead read
  std::map<std::pair<uint64_t, size_t>, ByteSpan> kept_;  // each kept range, in arena_
  uint64_t keptBytes_ = 0;
};

// A reader over bytes the caller keeps alive; null when memory runs out.
std::unique_ptr<SourceReader> ReaderOfBytes(ByteSpan bytes);
// A reader that owns its source; null for a null source.
std::unique_ptr<SourceReader> ReaderOf(std::unique_ptr<ByteSource> source);

}  // namespace vantorico

#include "iconlib/formats/source_reader.h"

#include <cstring>
#include <new>

#include "iconlib/formats/icon_constants.h"

namespace vantorico {

const SourceReader::Page* SourceReader::PageOf(uint64_t start) {
  ++clock_;
  for (Page& p : pages_) {
    if (p.start == start) {
      p.lastUse = clock_;
      return &p;
    }
  }
  const uint64_t left = size() - start;
  const size_t length = static_cast<size_t>(left < kReaderPageSize ? left : kReaderPageSize);
  ReadBlock block = source_->ReadAt(start, length);
  if (!block.ok()) return nullptr;
  Page* slot = nullptr;
  if (pages_.size() < kReaderPageCount) {
    pages_.emplace_back();
    slot = &pages_.back();
  } else {
    slot = &pages_[0];
    for (Page& p : pages_) {
      if (p.lastUse < slot->lastUse) slot = &p;
    }
  }
  slot->start = start;
  slot->lastUse = clock_;
  slot->block = std::move(block);
  return slot;
}

bool SourceReader::Peek(uint64_t offset, size_t length, ByteSpan* out) {
  if (offset > size() || length > size() - offset) return false;
  if (source_->Direct(offset, length, out)) return true;
  const uint64_t start = offset - offset % kReaderPageSize;
  if (offset + length <= start + kReaderPageSize) {
    const Page* page = PageOf(start);
    return page && page->block.span().Slice(static_cast<size_t>(offset - start), length, out);
  }
  scratch_ = source_->ReadAt(offset, length);
  if (!scratch_.ok()) return false;
  *out = scratch_.span();
  return true;
}

bool SourceReader::U8At(uint64_t offset, uint8_t* value) {
  ByteSpan s;
  return Peek(offset, sizeof *value, &s) && ByteCursor(s).PeekU8At(0, value);
}

bool SourceReader::U16At(uint64_t offset, uint16_t* value) {
  ByteSpan s;
  return Peek(offset, sizeof *value, &s) && ByteCursor(s).PeekU16At(0, value);
}

bool SourceReader::U32At(uint64_t offset, uint32_t* value) {
  ByteSpan s;
  return Peek(offset, sizeof *value, &s) && ByteCursor(s).PeekU32At(0, value);
}

bool SourceReader::Keep(uint64_t offset, size_t length, ByteSpan* out) {
  if (offset > size() || length > size() - offset) return false;
  if (source_->Direct(offset, length, out)) return true;
  const auto key = std::make_pair(offset, length);
  const auto known = kept_.find(key);
  if (known != kept_.end()) {
    *out = known->second.span();
    return true;
  }
  if (length > size() + kKeptBytesFloor - keptBytes_) return false;
  // A range inside a page already read is copied from it, not read again
  // (small files and resources that lie among their directory's records).
  ReadBlock block;
  const uint64_t start = offset - offset % kReaderPageSize;
  const Page* cached = nullptr;
  for (const Page& p : pages_) {
    if (p.start == start && offset + length <= start + p.block.size) cached = &p;
  }
  if (cached) {
    block.bytes = HeapTryAllocateBytes(length ? length : 1);
    if (!block.bytes) return false;
    block.size = length;
    if (length)
      std::memcpy(block.bytes.get(), cached->block.bytes.get() + (offset - start), length);
  } else {
    block = source_->ReadAt(offset, length);
  }
  if (!block.ok()) return false;
  keptBytes_ += length;
  *out = block.span();
  kept_.emplace(key, std::move(block));
  return true;
}

std::unique_ptr<SourceReader> ReaderOf(std::unique_ptr<ByteSource> source) {
  if (!source) return nullptr;
  return std::unique_ptr<SourceReader>(new (std::nothrow) SourceReader(std::move(source)));
}

std::unique_ptr<SourceReader> ReaderOfBytes(ByteSpan bytes) {
  return ReaderOf(ByteSourceOfBytes(bytes));
}

}  // namespace vantorico

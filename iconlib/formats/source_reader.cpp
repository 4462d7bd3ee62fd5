#include "iconlib/formats/source_reader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "iconlib/formats/icon_constants.h"

namespace vantorico {
namespace {

// KeepAhead: ranges at most this far apart are read in one read, while the
// bytes of the gaps stay under kMaxWaste and the read under kMaxRun.
constexpr uint64_t kMaxGap = 4 * 1024;
constexpr uint64_t kMaxWaste = 64 * 1024;
constexpr uint64_t kMaxRun = 4 * 1024 * 1024;

}  // namespace

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
    *out = known->second;
    return true;
  }
  if (length > size() + kKeptBytesFloor - keptBytes_) return false;
  // A range inside a page already read is copied from it, not read again
  // (small files and resources that lie among their directory's records).
  const uint64_t start = offset - offset % kReaderPageSize;
  const Page* cached = nullptr;
  for (const Page& p : pages_) {
    if (p.start == start && offset + length <= start + p.block.size) cached = &p;
  }
  uint8_t* room = arena_.Room(length);
  if (!room) return false;
  if (cached) {
    if (length) std::memcpy(room, cached->block.bytes.get() + (offset - start), length);
  } else if (!source_->ReadInto(offset, room, length)) {
    return false;
  }
  keptBytes_ += length;
  *out = ByteSpan(room, length);
  kept_.emplace(key, *out);
  return true;
}

bool SourceReader::InPage(uint64_t offset, size_t length) const {
  const uint64_t start = offset - offset % kReaderPageSize;
  for (const Page& p : pages_) {
    if (p.start == start && offset + length <= start + p.block.size) return true;
  }
  return false;
}

void SourceReader::KeepAhead(std::vector<std::pair<uint64_t, size_t>> ranges) {
  ByteSpan probe;
  if (source_->Direct(0, 0, &probe)) return;  // memory: Keep copies nothing
  size_t n = 0;
  for (const auto& r : ranges) {
    if (r.first > size() || r.second > size() - r.first || r.second == 0 || kept_.count(r) ||
        InPage(r.first, r.second)) {
      continue;
    }
    ranges[n++] = r;
  }
  ranges.resize(n);
  std::sort(ranges.begin(), ranges.end());
  for (size_t first = 0; first < ranges.size();) {
    // The run from ranges[first]: each next range that starts near its end.
    uint64_t start = ranges[first].first, end = start + ranges[first].second, waste = 0;
    size_t last = first + 1;
    for (; last < ranges.size(); ++last) {
      const uint64_t at = ranges[last].first, to = at + ranges[last].second;
      const uint64_t gap = at > end ? at - end : 0;
      const uint64_t newEnd = to > end ? to : end;
      if (gap > kMaxGap || waste + gap > kMaxWaste || newEnd - start > kMaxRun) break;
      waste += gap;
      end = newEnd;
    }
    const size_t count = last - first;
    const uint64_t length = end - start;
    // One range alone is read when Keep asks for it.
    if (count > 1 && length <= size() + kKeptBytesFloor - keptBytes_) {
      const size_t bytes = static_cast<size_t>(length);
      uint8_t* room = arena_.Room(bytes);
      // A failed read marks the source as changed; Keep says so range by range.
      if (!room || !source_->ReadInto(start, room, bytes)) return;
      keptBytes_ += length;
      const ByteSpan run(room, bytes);
      for (size_t k = first; k < last; ++k) {
        ByteSpan part;
        if (run.Slice(static_cast<size_t>(ranges[k].first - start), ranges[k].second, &part)) {
          kept_.emplace(ranges[k], part);
        }
      }
    }
    first = last;
  }
}

std::unique_ptr<SourceReader> ReaderOf(std::unique_ptr<ByteSource> source) {
  if (!source) return nullptr;
  return std::unique_ptr<SourceReader>(new (std::nothrow) SourceReader(std::move(source)));
}

std::unique_ptr<SourceReader> ReaderOfBytes(ByteSpan bytes) {
  return ReaderOf(ByteSourceOfBytes(bytes));
}

}  // namespace vantorico

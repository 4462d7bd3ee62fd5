#include "iconlib/formats/byte_source.h"

#include "iconlib/formats/deadline.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace vantorico {
namespace {

class MemorySource final : public ByteSource {
 public:
  MemorySource(ByteSpan bytes, std::unique_ptr<FileView> owner)
      : ByteSource(bytes.size(), owner ? owner->identity() : FileIdentity{}),
        bytes_(bytes),
        owner_(std::move(owner)) {}

  bool Direct(uint64_t offset, size_t length, ByteSpan* out) const override {
    return offset <= bytes_.size() && bytes_.Slice(static_cast<size_t>(offset), length, out);
  }

 private:
  bool Fill(uint64_t offset, uint8_t* out, size_t length, SystemError* error) override {
    (void)error;
    ByteSpan part;
    if (!bytes_.Slice(static_cast<size_t>(offset), length, &part)) return false;
    if (length) std::memcpy(out, part.data(), length);
    return true;
  }

  ByteSpan bytes_;
  std::unique_ptr<FileView> owner_;
};

class BlockView final : public FileView {
 public:
  BlockView(ReadBlock block, const FileIdentity& id) : block_(std::move(block)), identity_(id) {}
  ByteSpan bytes() const override { return block_.span(); }
  const FileIdentity& identity() const override { return identity_; }

 private:
  ReadBlock block_;
  FileIdentity identity_;
};

}  // namespace

SourceFile ReadWholeSource(OpenedBytes opened, uint64_t limit) {
  SourceFile out;
  out.status = opened.status;
  out.error = opened.error;
  if (!opened.source) return out;
  ByteSource& source = *opened.source;
  if (source.size() > limit || source.size() > SIZE_MAX / 2) {
    out.status = OpenStatus::NoMemory;
    return out;
  }
  ReadBlock block = source.ReadAt(0, static_cast<size_t>(source.size()));
  if (!block.ok()) {
    out.status = source.changed() ? OpenStatus::ReadFailed : OpenStatus::NoMemory;
    out.error = source.error();
    return out;
  }
  out.view.reset(new (std::nothrow) BlockView(std::move(block), source.identity()));
  out.status = out.view ? OpenStatus::Opened : OpenStatus::NoMemory;
  return out;
}

bool ByteSource::ReadInto(uint64_t offset, uint8_t* out, size_t length) {
  if (offset > size_ || length > size_ - offset) return false;
  if (PastDeadline()) {
    // The reading took too long: the source fails as a failed read does.
    changed_ = true;
    return false;
  }
  bytesRead_ += length;
  if (length == 0 || Fill(offset, out, length, &error_)) return true;
  changed_ = true;
  return false;
}

ReadBlock ByteSource::ReadAt(uint64_t offset, size_t length) {
  ReadBlock block;
  if (offset > size_ || length > size_ - offset) return block;
  HeapBytes bytes = HeapTryAllocateBytes(length ? length : 1);
  if (!bytes || !ReadInto(offset, bytes.get(), length)) return block;
  block.bytes = std::move(bytes);
  block.size = length;
  return block;
}

std::unique_ptr<ByteSource> ByteSourceOfBytes(ByteSpan bytes) {
  return std::unique_ptr<ByteSource>(new (std::nothrow) MemorySource(bytes, nullptr));
}

std::unique_ptr<ByteSource> ByteSourceOfView(std::unique_ptr<FileView> view) {
  if (!view) return nullptr;
  const ByteSpan bytes = view->bytes();
  return std::unique_ptr<ByteSource>(new (std::nothrow) MemorySource(bytes, std::move(view)));
}

std::unique_ptr<ByteSource> ByteSourceOfBlock(ReadBlock block) {
  if (!block.ok()) return nullptr;
  return ByteSourceOfView(
      std::unique_ptr<FileView>(new (std::nothrow) BlockView(std::move(block), FileIdentity{})));
}

}  // namespace vantorico

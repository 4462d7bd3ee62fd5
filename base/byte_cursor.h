#pragma once
// One bounds-checked reader over a byte span. Every binary format of the
// project (PE, NE, icon files, group directories, the stored layout) is read
// through it: a read past the end fails and leaves the cursor where it was.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantorico {

class ByteSpan {
 public:
  ByteSpan() = default;
  ByteSpan(const uint8_t* data, size_t size) : data_(data), size_(data ? size : 0) {}

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // The sub-span [offset, offset + length), or nothing when it does not fit.
  bool Slice(size_t offset, size_t length, ByteSpan* out) const {
    if (offset > size_ || length > size_ - offset) return false;
    *out = ByteSpan(data_ + offset, length);
    return true;
  }
  // Everything from offset to the end (empty past the end).
  ByteSpan From(size_t offset) const {
    if (offset >= size_) return ByteSpan();
    return ByteSpan(data_ + offset, size_ - offset);
  }
  bool Contains(size_t offset, size_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

class ByteCursor {
 public:
  explicit ByteCursor(ByteSpan span) : span_(span) {}
  ByteCursor(const uint8_t* data, size_t size) : span_(data, size) {}

  size_t position() const { return pos_; }
  size_t remaining() const { return span_.size() - pos_; }
  const ByteSpan& span() const { return span_; }

  bool Seek(size_t offset) {
    if (offset > span_.size()) return false;
    pos_ = offset;
    return true;
  }
  bool Skip(size_t count) {
    if (count > remaining()) return false;
    pos_ += count;
    return true;
  }

  bool ReadU8(uint8_t* out) { return ReadLE(out); }
  bool ReadU16(uint16_t* out) { return ReadLE(out); }
  bool ReadU32(uint32_t* out) { return ReadLE(out); }
  bool ReadS16(int16_t* out) {
    uint16_t v;
    if (!ReadLE(&v)) return false;
    *out = static_cast<int16_t>(v);
    return true;
  }
  bool ReadS32(int32_t* out) {
    uint32_t v;
    if (!ReadLE(&v)) return false;
    *out = static_cast<int32_t>(v);
    return true;
  }
  // Copies count bytes out.
  bool ReadBytes(void* out, size_t count) {
    if (count > remaining()) return false;
    if (count) std::memcpy(out, span_.data() + pos_, count);
    pos_ += count;
    return true;
  }
  // A view of the next count bytes, without copying.
  bool ReadSpan(size_t count, ByteSpan* out) {
    if (!span_.Slice(pos_, count, out)) return false;
    pos_ += count;
    return true;
  }

  // Random access helpers that leave the position alone.
  bool PeekU16At(size_t offset, uint16_t* out) const { return PeekAt(offset, out); }
  bool PeekU32At(size_t offset, uint32_t* out) const { return PeekAt(offset, out); }
  bool PeekU8At(size_t offset, uint8_t* out) const { return PeekAt(offset, out); }

 private:
  template <typename T>
  bool PeekAt(size_t offset, T* out) const {
    if (!span_.Contains(offset, sizeof(T))) return false;
    T v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
      v = static_cast<T>(v | (static_cast<T>(span_.data()[offset + i]) << (8 * i)));
    *out = v;
    return true;
  }
  template <typename T>
  bool ReadLE(T* out) {
    if (!PeekAt(pos_, out)) return false;
    pos_ += sizeof(T);
    return true;
  }

  ByteSpan span_;
  size_t pos_ = 0;
};

// Little-endian stores into a caller's buffer whose size the caller has checked.
inline void StoreU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace vantorico

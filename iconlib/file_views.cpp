#include <cstring>
#include <new>

#include "iconlib/file_io.h"

namespace vantorico {
namespace {

class BorrowedView final : public FileView {
 public:
  explicit BorrowedView(ByteSpan bytes) : bytes_(bytes) {}
  ByteSpan bytes() const override { return bytes_; }
  const FileIdentity& identity() const override { return identity_; }

 private:
  ByteSpan bytes_;
  FileIdentity identity_;
};

class MemoryInputFile final : public InputFile {
 public:
  explicit MemoryInputFile(ByteSpan bytes) : cursor_(bytes) {}
  bool Read(void* buffer, uint32_t count, uint32_t* got) override {
    const size_t n = count < cursor_.remaining() ? count : cursor_.remaining();
    *got = static_cast<uint32_t>(n);
    return cursor_.ReadBytes(buffer, n);
  }
  bool Seek(uint32_t offset) override { return cursor_.Seek(offset); }
  uint64_t Size() const override { return cursor_.span().size(); }

 private:
  ByteCursor cursor_;
};

}  // namespace

std::unique_ptr<FileView> OpenFileView(const char* path) {
  SourceFile source = ReadSourceFile(path);
  return std::move(source.view);
}

std::unique_ptr<FileView> ViewOfBytes(ByteSpan bytes) {
  return std::unique_ptr<FileView>(new (std::nothrow) BorrowedView(bytes));
}

std::unique_ptr<InputFile> OpenMemoryInputFile(ByteSpan bytes) {
  return std::unique_ptr<InputFile>(new (std::nothrow) MemoryInputFile(bytes));
}

}  // namespace vantorico

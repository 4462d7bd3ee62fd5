#include <new>

#include "base/heap.h"
#include "base/win_handles.h"
#include "iconlib/file_io.h"

namespace vantorico {
namespace {

class WinInputFile final : public InputFile {
 public:
  WinInputFile(UniqueFile file, uint64_t size) : file_(std::move(file)), size_(size) {}
  bool Read(void* buffer, uint32_t count, uint32_t* got) override {
    DWORD done = 0;
    const bool ok = ReadFile(file_.get(), buffer, count, &done, nullptr) != FALSE;
    *got = done;
    return ok;
  }
  bool Seek(uint32_t offset) override {
    LONG high = 0;
    SetLastError(NO_ERROR);
    const DWORD low = SetFilePointer(file_.get(), static_cast<LONG>(offset), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
  }
  uint64_t Size() const override { return size_; }

 private:
  UniqueFile file_;
  uint64_t size_;
};

class WinOutputFile final : public OutputFile {
 public:
  explicit WinOutputFile(UniqueFile file) : file_(std::move(file)) {}
  bool Write(const void* bytes, uint32_t count) override {
    DWORD done = 0;
    return WriteFile(file_.get(), bytes, count, &done, nullptr) != FALSE && done == count;
  }

 private:
  UniqueFile file_;
};

// The portable module reader needs the whole file; on Windows it only serves
// files the platform loader refuses, so reading it into memory is enough.
class HeapFileView final : public FileView {
 public:
  HeapFileView(uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
  ~HeapFileView() override { HeapRelease(bytes_); }
  ByteSpan bytes() const override { return ByteSpan(bytes_, size_); }

 private:
  uint8_t* bytes_;
  size_t size_;
};

UniqueFile OpenForReading(const char* path, uint64_t* size) {
  if (!path) return UniqueFile();
  UniqueFile file(
      CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER li;
  if (!file || !GetFileSizeEx(file.get(), &li)) return UniqueFile();
  *size = static_cast<uint64_t>(li.QuadPart);
  return file;
}

}  // namespace

std::unique_ptr<InputFile> OpenInputFile(const char* path) {
  uint64_t size = 0;
  UniqueFile file = OpenForReading(path, &size);
  if (!file) return nullptr;
  return std::unique_ptr<InputFile>(new (std::nothrow) WinInputFile(std::move(file), size));
}

std::unique_ptr<OutputFile> CreateOutputFile(const char* path) {
  if (!path) return nullptr;
  UniqueFile file(
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return nullptr;
  return std::unique_ptr<OutputFile>(new (std::nothrow) WinOutputFile(std::move(file)));
}

std::unique_ptr<FileView> OpenFileView(const char* path) {
  uint64_t size = 0;
  UniqueFile file = OpenForReading(path, &size);
  if (!file || size > MAXDWORD) return nullptr;
  auto* bytes = static_cast<uint8_t*>(HeapTryAllocate(size ? static_cast<size_t>(size) : 1));
  if (!bytes) return nullptr;
  DWORD done = 0;
  if (!ReadFile(file.get(), bytes, static_cast<DWORD>(size), &done, nullptr) || done != size) {
    HeapRelease(bytes);
    return nullptr;
  }
  auto* view = new (std::nothrow) HeapFileView(bytes, static_cast<size_t>(size));
  if (!view) HeapRelease(bytes);
  return std::unique_ptr<FileView>(view);
}

}  // namespace vantorico

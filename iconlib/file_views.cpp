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

}  // namespace

std::unique_ptr<FileView> ViewOfBytes(ByteSpan bytes) {
  return std::unique_ptr<FileView>(new (std::nothrow) BorrowedView(bytes));
}

}  // namespace vantorico

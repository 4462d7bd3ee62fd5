#include "cli/file_kind.h"

#include <cstdint>

#include "iconlib/file_io.h"
#include "iconlib/icon_constants.h"
#include "iconlib/module_format.h"

namespace vantorico {
namespace {

bool ReadAt(InputFile& file, uint32_t offset, uint8_t* bytes, uint32_t count) {
  uint32_t got = 0;
  return file.Seek(offset) && file.Read(bytes, count, &got) && got == count;
}

}  // namespace

FileKind DetectFileKind(const char* path) {
  std::unique_ptr<InputFile> file = OpenInputFile(path);
  if (!file) return FileKind::Missing;
  uint8_t head[kMzNewHeaderOffset + sizeof(uint32_t)] = {};
  uint32_t got = 0;
  if (!file->Read(head, sizeof(head), &got)) return FileKind::Other;
  ByteCursor c(head, got);
  uint16_t first = 0, second = 0;
  if (!c.PeekU16At(0, &first)) return FileKind::Other;
  if (first == kMzSignature) {
    uint32_t new_header = 0;
    uint8_t signature[sizeof(uint32_t)] = {};
    if (!c.PeekU32At(kMzNewHeaderOffset, &new_header) ||
        !ReadAt(*file, new_header, signature, sizeof(signature))) {
      return FileKind::Other;
    }
    ByteCursor s(signature, sizeof(signature));
    uint32_t pe = 0;
    uint16_t ne = 0;
    if ((s.PeekU32At(0, &pe) && pe == kPeSignature) ||
        (s.PeekU16At(0, &ne) && ne == kNeSignature)) {
      return FileKind::Module;
    }
    return FileKind::Other;
  }
  if (first == kIconFileReserved && c.PeekU16At(sizeof(uint16_t), &second) &&
      second == kIconFileTypeIcon && got >= kIconFileHeaderSize) {
    return FileKind::IconFile;
  }
  return FileKind::Other;
}

}  // namespace vantorico

#include "iconlib/command/extract_group.h"

#include <vector>

#include "iconlib/formats/bitmap_file_writer.h"
#include "iconlib/platform/clipboard_writer.h"
#include "iconlib/formats/icon_file_writer.h"

namespace vantorico {
namespace {

ExtractResult FromWrite(const WriteOutcome& w, uint64_t bytes) {
  ExtractResult r;
  switch (w.status) {
    case WriteOutcome::Written:
      r.status = ExtractStatus::Written;
      r.bytesWritten = bytes;
      break;
    case WriteOutcome::SameAsSource:
      r.status = ExtractStatus::SameAsSource;
      break;
    case WriteOutcome::Exists:
    case WriteOutcome::NotRegularFile:  // a folder or device at the name: refused, with its code
    case WriteOutcome::Failed:
      r.status = ExtractStatus::WriteFailed;
      r.error = w.error;
      break;
  }
  return r;
}

ExtractResult WithStatus(ExtractStatus status) {
  ExtractResult r;
  r.status = status;
  return r;
}

}  // namespace

ExtractResult DeliverGroup(const IconImageSet& set, ExtractMode mode, OutputKind output,
                           const char* outputPath, const FileIdentity* source) {
  const IconImageEntry* first = set.imageCount > 0 ? &set.images[0] : nullptr;
  std::vector<uint8_t> bytes;
  if (mode == ExtractToClipboard) {
    if (!first) return WithStatus(ExtractStatus::RefusedImage);
    ExtractResult r = WithStatus(ExtractStatus::RefusedImage);
    if (CopyImageToClipboard(first)) {
      r.status = ExtractStatus::Written;
      r.bytesWritten = first->dataSize;
    }
    return r;
  }
  switch (output) {
    case OutputKind::IconFile:
      if (!BuildIconFile(set, &bytes)) return FromWrite(WriteOutcome{}, 0);
      break;
    case OutputKind::BitmapFile:
      if (!first || !BuildBitmapFile(*first, &bytes)) {
        return WithStatus(ExtractStatus::RefusedImage);
      }
      break;
    case OutputKind::Nothing:
      return WithStatus(ExtractStatus::NothingAsked);
  }
  return FromWrite(ReplaceFileWhole(outputPath, ByteSpan(bytes.data(), bytes.size()), source),
                   bytes.size());
}

ExtractResult ResultOfFailedRead(const GroupRead& read) {
  return WithStatus(read.status);
}

ExtractResult ExtractGroup(IconSource& source, int32_t index, ExtractMode mode, OutputKind output,
                           const char* outputPath) {
  GroupRead read = source.ReadGroup(index);
  if (!read.set) return ResultOfFailedRead(read);
  return DeliverGroup(*read.set, mode, output, outputPath, &source.identity());
}

}  // namespace vantorico

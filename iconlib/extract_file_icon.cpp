#include "iconlib/extract_file_icon.h"

#include "iconlib/bitmap_file_writer.h"
#include "iconlib/clipboard_writer.h"
#include "iconlib/extension_key.h"
#include "iconlib/icon_file_reader.h"
#include "iconlib/icon_file_writer.h"
#include "iconlib/icon_group_reader.h"

namespace vantorico {
namespace {

// Releases the set on every path out of one call.
struct SetHolder {
  IconImageSet* set = nullptr;
  ~SetHolder() { ReleaseIconImageSet(set); }
};

void Deliver(const IconImageSet* set, ExtractMode mode, OutputKind output, const char* outputPath) {
  const IconImageEntry* first = set && set->imageCount > 0 ? &set->images[0] : nullptr;
  if (mode == ExtractToFile) {
    if (output == OutputKind::BitmapFile && first) {
      WriteBitmapFile(outputPath, first);
    } else if (output == OutputKind::IconFile && set) {
      WriteIconFile(set, outputPath);
    }
  } else if (first) {
    CopyImageToClipboard(first);
  }
}

bool IsEmptyText(const char* text) {
  return !text || text[0] == '\0';
}

}  // namespace

SourceKind SourceKindOfPath(const char* path) {
  if (HasExtensionKey(path, "ico")) return SourceKind::IconFile;
  if (HasExtensionKey(path, "exe") || HasExtensionKey(path, "dll") ||
      HasExtensionKey(path, "icl")) {
    return SourceKind::Module;
  }
  return SourceKind::Unsupported;
}

OutputKind OutputKindOfPath(const char* path) {
  if (HasExtensionKey(path, "ico")) return OutputKind::IconFile;
  if (HasExtensionKey(path, "bmp")) return OutputKind::BitmapFile;
  return OutputKind::Nothing;
}

int32_t ExtractIconGroup(SourceKind source, const char* sourcePath, ExtractMode mode,
                         OutputKind output, const char* outputPath, int32_t index) {
  if (mode == ExtractToFile && IsEmptyText(outputPath)) return 0;
  SetHolder holder;
  if (source == SourceKind::IconFile) {
    holder.set = ReadIconFile(sourcePath);
    if (index > 1) return 0;
    Deliver(holder.set, mode, output, outputPath);
    return 1;
  }
  if (source != SourceKind::Module) return 0;
  // Held open while counting, as the platform loader holds it; the group
  // itself is read through a second opening of the same path.
  std::unique_ptr<ModuleSource> module = OpenModuleSource(sourcePath);
  if (!module) return 0;
  const IconGroupLocation location = LocateIconGroup(*module, index);
  if (location.groupCount == 0 || index > location.groupCount) return 0;
  holder.set = ReadIconGroup(sourcePath, location.found ? &location.name : nullptr);
  Deliver(holder.set, mode, output, outputPath);
  return location.groupCount;
}

void ExtractFileIcon(ArgSlot* result, int /*count*/, ArgSlot* args) {
  result->value = 0;
  const char* source = SlotText(args[0]);
  int32_t mode = args[1].type == kTypeOmitted ? ExtractToClipboard : SlotInt(args[1]);
  if (mode < ExtractToFile || mode > ExtractToClipboard) mode = ExtractToClipboard;
  const char* output = args[2].type == kTypeOmitted ? nullptr : SlotText(args[2]);
  int32_t index = args[3].type == kTypeOmitted ? 1 : SlotInt(args[3]);
  if (index < 1) index = 1;
  const auto extract_mode = static_cast<ExtractMode>(mode);
  if (extract_mode == ExtractToFile && IsEmptyText(output)) return;
  const OutputKind output_kind =
      extract_mode == ExtractToFile ? OutputKindOfPath(output) : OutputKind::Nothing;
  result->value = static_cast<uint32_t>(
      ExtractIconGroup(SourceKindOfPath(source), source, extract_mode, output_kind, output, index));
}

}  // namespace vantorico

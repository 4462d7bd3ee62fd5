#include "shell/tray/make_icon_win.h"

#include "shell/tray/icon_entry_choice.h"
#include "shell/tray/tray_constants.h"

namespace vantorico {

UniqueIcon MakeIconFromIcoBytes(const uint8_t* bytes, int32_t length, bool preferLarge) {
  if (!bytes || length <= 0) return UniqueIcon();
  ChosenIconImage chosen;
  if (!ChooseIconImage(ByteSpan(bytes, static_cast<size_t>(length)), preferLarge, &chosen))
    return UniqueIcon();
  // The creation calls take a writable buffer.
  std::vector<uint8_t> image(chosen.bytes.data(), chosen.bytes.data() + chosen.bytes.size());
  const auto size = static_cast<DWORD>(image.size());
  UniqueIcon icon(CreateIconFromResourceEx(image.data(), size, TRUE, kIconFormatVersion,
                                           chosen.width, chosen.height, 0));
  if (!icon && chosen.bitCount != kNoFallbackBitCount)
    icon.reset(CreateIconFromResource(image.data(), size, TRUE, kIconFormatVersion));
  return icon;
}

std::vector<uint8_t> ReadIconFileBytes(const char* path) {
  std::vector<uint8_t> bytes;
  if (!path || !*path) return bytes;
  UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return bytes;
  const DWORD size = GetFileSize(file.get(), nullptr);
  if (size == INVALID_FILE_SIZE || size == 0) return bytes;
  bytes.resize(size);
  DWORD read = 0;
  if (!ReadFile(file.get(), bytes.data(), size, &read, nullptr) || read != size) bytes.clear();
  return bytes;
}

}  // namespace vantorico

#include "shell/tray/make_icon_win.h"

#include <vector>

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

}  // namespace vantorico

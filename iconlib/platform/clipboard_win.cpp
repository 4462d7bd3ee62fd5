#include <cstddef>
#include <cstring>

#include "base/win_handles.h"
#include "iconlib/platform/clipboard_writer.h"
#include "iconlib/formats/icon_constants.h"

namespace vantorico {

// The portable copies of the bitmap records' layout.
static_assert(kInfoHeaderSize == sizeof(BITMAPINFOHEADER) &&
              kBiSizeOffset == offsetof(BITMAPINFOHEADER, biSize) &&
              kBiWidthOffset == offsetof(BITMAPINFOHEADER, biWidth) &&
              kBiHeightOffset == offsetof(BITMAPINFOHEADER, biHeight) &&
              kBiPlanesOffset == offsetof(BITMAPINFOHEADER, biPlanes) &&
              kBiBitCountOffset == offsetof(BITMAPINFOHEADER, biBitCount) &&
              kBiSizeImageOffset == offsetof(BITMAPINFOHEADER, biSizeImage) &&
              kBiClrUsedOffset == offsetof(BITMAPINFOHEADER, biClrUsed));
static_assert(kPaletteEntrySize == sizeof(RGBQUAD));
static_assert(kBitmapFileHeaderSize == sizeof(BITMAPFILEHEADER) &&
              kBitmapSizeOffset == offsetof(BITMAPFILEHEADER, bfSize) &&
              kBitmapPixelOffsetOffset == offsetof(BITMAPFILEHEADER, bfOffBits));

bool PlaceDibOnClipboard(ByteSpan dib, int32_t halvedHeight) {
  ClipboardSession clipboard(nullptr);
  if (!clipboard.is_open() || !EmptyClipboard()) return false;
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, dib.size()));
  if (!block) return false;
  {
    GlobalLockGuard lock(block.get());
    auto* bytes = static_cast<uint8_t*>(lock.get());
    if (!bytes) return false;
    std::memcpy(bytes, dib.data(), dib.size());
    StoreU32(bytes + kBiHeightOffset, static_cast<uint32_t>(halvedHeight));
  }
  if (!SetClipboardData(CF_DIB, block.get())) return false;
  block.release();  // the clipboard owns the block now
  return true;
}

}  // namespace vantorico

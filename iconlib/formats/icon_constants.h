#pragma once
// Fixed numbers of the icon engine: resource types, file layouts, extraction
// modes and the caps that keep hostile files from costing unbounded work.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// The tool's extraction loop runs i = 1 .. MaxIconGroups.
constexpr int32_t MaxIconGroups = 1000;

enum ExtractMode : int32_t {
  ExtractToFile = 0,
  ExtractToClipboard = 1,
};

// Resource types.
constexpr uint16_t kResourceTypeIcon = 3;        // RT_ICON
constexpr uint16_t kResourceTypeGroupIcon = 14;  // RT_GROUP_ICON

// Image counts are 16-bit in group directories and icon files alike.
constexpr uint32_t kMaxImageCount = 0xFFFF;

// Width of the path fields of an IconImageSet, terminator included.
constexpr size_t kIconSetPathSize = 260;

// Group directory (RT_GROUP_ICON).
constexpr size_t kGroupHeaderSize = 6;
constexpr size_t kGroupCountOffset = 4;
constexpr size_t kGroupEntrySize = 14;
constexpr size_t kGroupEntryIdOffset = 12;

// Icon file.
constexpr uint16_t kIconFileReserved = 0;
constexpr uint16_t kIconFileTypeIcon = 1;
constexpr uint16_t kIconFileTypeCursor = 2;
constexpr size_t kIconFileHeaderFieldSize = 2;
constexpr size_t kIconFileHeaderSize = 6;
constexpr size_t kIconFileEntrySize = 16;
constexpr size_t kIconFileColorCountOffset = 2;
constexpr size_t kIconFileEntrySizeOffset = 8;
constexpr size_t kIconFileEntryOffsetOffset = 12;

// BITMAPINFOHEADER fields that the engine reads or changes.
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kBiSizeOffset = 0;
constexpr size_t kBiWidthOffset = 4;
constexpr size_t kBiHeightOffset = 8;
constexpr size_t kBiPlanesOffset = 12;
constexpr size_t kBiBitCountOffset = 14;
constexpr size_t kBiSizeImageOffset = 20;
constexpr size_t kBiClrUsedOffset = 32;
constexpr size_t kBiCompressionOffset = 16;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;
constexpr size_t kPaletteEntrySize = 4;
constexpr uint32_t kPaletteSizeMask = 0xFFFF;  // DibPaletteSize keeps the low 16 bits
// Bytes of a row are padded to a multiple of four: (bits + 31) >> 3, low two bits cleared.
constexpr int64_t kRowPadBits = 31;
constexpr int kBitsPerByteShift = 3;
constexpr int64_t kRowAlignMask = ~int64_t{3};
// The stored height counts the colour bitmap and the mask together.
constexpr int32_t kStoredHeightFactor = 2;
// Colour counts by biBitCount when biClrUsed is 0.
constexpr uint32_t kColorsOf1Bit = 2;
constexpr uint32_t kColorsOf4Bit = 16;
constexpr uint32_t kColorsOf8Bit = 256;
// Directory colour count: 1 << depth below this depth, else 0.
constexpr uint32_t kDirectoryPaletteDepthLimit = 8;

// Bitmap file.
constexpr uint8_t kBitmapSignature[2] = {'B', 'M'};
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr size_t kBitmapSizeOffset = 2;
constexpr size_t kBitmapPixelOffsetOffset = 10;
// A bitmap file built from decoded pixels: BITMAPV5HEADER, 32 bits, BI_BITFIELDS
// with an alpha mask (the form readers take alpha from), sRGB, rows bottom-up.
constexpr uint32_t kV5HeaderSize = 124;
constexpr size_t kV5RedMaskOffset = 40;
constexpr size_t kV5GreenMaskOffset = 44;
constexpr size_t kV5BlueMaskOffset = 48;
constexpr size_t kV5AlphaMaskOffset = 52;
constexpr size_t kV5ColorSpaceOffset = 56;
constexpr size_t kV5IntentOffset = 108;
constexpr uint32_t kColorSpaceSrgb = 0x73524742;  // 'sRGB'
constexpr uint32_t kIntentImages = 4;             // LCS_GM_IMAGES
constexpr uint32_t kPixelsPerMetre96Dpi = 3780;
constexpr size_t kBiXPelsOffset = 24;
constexpr size_t kBiYPelsOffset = 28;

// PNG images inside icons: signature, then the IHDR chunk.
constexpr uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr uint8_t kPngIhdrType[4] = {'I', 'H', 'D', 'R'};
constexpr size_t kPngIhdrTypeOffset = 12;
constexpr size_t kPngIhdrWidthOffset = 16;
constexpr size_t kPngIhdrHeightOffset = 20;
constexpr size_t kPngIhdrBitDepthOffset = 24;
constexpr size_t kPngIhdrColorTypeOffset = 25;
constexpr size_t kPngMinimumSize = 26;  // through the colour type byte
// After the colour type: compression and filter method, then this.
constexpr size_t kPngIhdrInterlaceOffset = 28;
// Channels per PNG colour type (0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA).
constexpr uint8_t kPngColorTypeGrey = 0;
constexpr uint8_t kPngColorTypeRgb = 2;
constexpr uint8_t kPngColorTypePalette = 3;
constexpr uint8_t kPngColorTypeGreyAlpha = 4;
constexpr uint8_t kPngColorTypeRgba = 6;
constexpr uint16_t kPngDirectoryPlanes = 1;

// A directory width or height byte keeps the low 8 bits (256 gives 0).
constexpr uint32_t kDirectoryByteMask = 0xFF;

// Caps. An icon file may point several entries at the same bytes, so its
// images together could claim thousands of times the file's size; no real
// icon holds more than this many image bytes.
constexpr uint64_t kMaxIconFileImageBytes = 256ull * 1024 * 1024;
// A group directory may name one image up to 65535 times, so a module's group
// is held to the same total. Each image is a slice of the file, looked up
// through an index: a group costs at most 65535 lookups. The resource
// directory is read three levels deep and no deeper (no recursion to bound),
// and every directory's entries must lie inside the file (at most 2 x 65535
// by its 16-bit counts).
constexpr uint64_t kMaxGroupImageBytes = kMaxIconFileImageBytes;
// What one source may make the engine read as groups, in all: a floor for
// small files plus a multiple of the source's size. Real files share few
// images between groups, so their groups add up to about their own size;
// a hostile file whose many groups all name the same images would
// otherwise turn 1 MB into gigabytes of output.
constexpr uint64_t kOutputBudgetFloor = 64ull * 1024 * 1024;
constexpr uint64_t kOutputBudgetPerSourceByte = 16;
// What one source's groups may claim in pixels, in all (width x height of
// every image read, PNG or DIB, whether a caller decodes it or not): a floor
// (one 4096 x 4096 image, or 256 groups of 256 x 256) plus a multiple of the
// source's size. Real images hold at least a few bits per pixel even
// compressed, so a real file stays far below it; a few KB of PNG can claim
// 8192 x 8192 pixels (a gigabyte of decoding work), and a file of 110 of
// them would otherwise cost minutes.
constexpr uint64_t kPixelBudgetFloor = uint64_t{1} << 24;
constexpr uint64_t kPixelBudgetPerSourceByte = 16;

// Range reads of a module: its directory structures come through this many
// cached pages of this size (512 KB in all); the resources it hands out are
// kept whole, up to the file's size plus this floor.
constexpr size_t kReaderPageSize = 16 * 1024;
constexpr size_t kReaderPageCount = 32;
constexpr uint64_t kKeptBytesFloor = 64ull * 1024 * 1024;

}  // namespace vantorico

#pragma once
// Layout numbers of the executable formats the portable module reader knows.
#include <cstddef>
#include <cstdint>

namespace vantorico {

constexpr uint16_t kMzSignature = 0x5A4D;  // "MZ"
constexpr size_t kMzNewHeaderOffset = 0x3C;
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kNeSignature = 0x454E;      // "NE"

// PE: COFF header after the signature, then the optional header.
constexpr size_t kPeSignatureSize = 4;
constexpr size_t kCoffSectionCountOffset = 2;
constexpr size_t kCoffOptionalSizeOffset = 16;
constexpr size_t kCoffHeaderSize = 20;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kPe32DirectoryCountOffset = 92;
constexpr size_t kPe32PlusDirectoryCountOffset = 108;
constexpr size_t kDataDirectorySize = 8;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kSectionVirtualAddressOffset = 12;
constexpr size_t kSectionRawSizeOffset = 16;
constexpr size_t kSectionRawPointerOffset = 20;

// PE resource directory.
constexpr size_t kResourceDirectoryHeaderSize = 16;
constexpr size_t kResourceNamedCountOffset = 12;
constexpr size_t kResourceIdCountOffset = 14;
constexpr size_t kResourceEntrySize = 8;
constexpr uint32_t kResourceHighBit = 0x80000000u;  // name is a string / entry is a directory
constexpr uint32_t kResourceOffsetMask = 0x7FFFFFFFu;
constexpr size_t kResourceDataEntrySize = 16;
// Text names are decoded for showing up to this many UTF-16 units, and a
// longer one is marked as cut: a directory whose names overlap in the file
// could otherwise make every one of 131070 entries decode to 65535 units.
// The group keeps its place whatever its name's length (the loader and
// pefile see it); a lookup by a whole long name compares it in full.
constexpr uint16_t kMaxResourceNameUnits = 256;

// The order of languages a lookup tries is a parameter of the reader
// (iconlib/formats/language_choice.h).

// NE: offsets inside the NE header, and the resource table's records.
constexpr size_t kNeResourceTableOffset = 0x24;
constexpr size_t kNeResidentNameTableOffset = 0x26;
constexpr size_t kNeTypeInfoSize = 8;  // type id, count, reserved
constexpr size_t kNeNameInfoSize = 12;
constexpr uint16_t kNeIntegerFlag = 0x8000;
constexpr uint16_t kNeIdMask = 0x7FFF;
// Alignment shifts beyond this would place a resource past any file the
// reader can hold; real files use 4 or 9.
constexpr uint16_t kNeMaxAlignShift = 24;

}  // namespace vantorico

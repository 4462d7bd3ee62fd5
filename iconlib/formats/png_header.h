#pragma once
// PNG-compressed icon images: recognised by their signature, described by IHDR.
#include <cstdint>

#include "base/byte_cursor.h"

namespace vantorico {

struct PngHeader {
  uint32_t width;
  uint32_t height;
  uint8_t bitDepth;  // bits per sample
  uint8_t colorType;
};

bool IsPngImage(ByteSpan image);
// False when the first chunk is not a complete IHDR.
bool ReadPngHeader(ByteSpan image, PngHeader* out);
// Bits per pixel: samples per pixel of the colour type times the sample depth
// (32 for 8-bit RGBA); 0 for an unknown colour type.
uint32_t PngBitsPerPixel(const PngHeader& header);
// Whether IHDR asks for Adam7 interlacing, which a decoder reads whole; false
// for an image cut before the interlace method.
bool IsInterlacedPng(ByteSpan image);

}  // namespace vantorico

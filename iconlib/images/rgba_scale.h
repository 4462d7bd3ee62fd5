#pragma once
// Resampling straight RGBA images. Portable.
//
// Each axis is filtered on its own: shrinking takes the area average of the
// source pixels each output pixel covers (a box filter with fractional edge
// weights), growing interpolates linearly between the two nearest source
// pixel centres (bilinear; edges clamp). Both work on premultiplied colour in
// floating point, so a transparent pixel's colour never bleeds into its
// neighbours; the result is un-premultiplied and rounded to 8 bits.
#include <cstdint>

#include "iconlib/images/rgba_image.h"

namespace vantorico {

// The source resampled to width x height (both > 0, at most
// kMaxDecodedPixels together). An empty source or size gives an empty image.
RgbaImage ScaleRgba(const RgbaImage& source, uint32_t width, uint32_t height);

// width x height fitted inside size x size, keeping the aspect ratio (the
// longer side becomes size, the shorter at least 1).
void FitInside(uint32_t width, uint32_t height, uint32_t size, uint32_t* outWidth,
               uint32_t* outHeight);

}  // namespace vantorico

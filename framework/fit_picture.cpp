#include "framework/fit_picture.h"

#include <algorithm>

#include "framework/layout_constants.h"

namespace vantorico {

PictureRect FitPicture(int w, int h, int cw, int ch) {
  PictureRect r;
  if (w <= 0 || h <= 0) return r;
  if (w > cw || h > ch) {
    const double s = std::min(static_cast<double>(cw) / w, static_cast<double>(ch) / h);
    r.width = static_cast<int>(w * s);
    r.height = static_cast<int>(h * s);
    r.x = (cw - r.width) / 2;
    r.y = (ch - r.height) / 2;
    return r;
  }
  r.width = w;
  r.height = h;
  r.x = (cw - w) / 2;
  r.y = (ch - h) / 2;
  return r;
}

PictureRect PlacePicture(uint32_t mode, int w, int h, int cw, int ch) {
  switch (mode) {
    case kPictureStretch:
      return {0, 0, cw, ch};
    case kFitPicture:
      return FitPicture(w, h, cw, ch);
    default:
      return {0, 0, w, h};
  }
}

}  // namespace vantorico

#pragma once
// Where a picture box draws its picture, by display mode.
#include <cstdint>

namespace vantorico {

struct PictureRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PictureRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// Centres the picture, scaling it down (never up) to fit when it is larger.
PictureRect FitPicture(int picture_width, int picture_height, int client_width, int client_height);

// The rectangle for any display mode (0 own size at the origin, 1 stretched, 2 fitted).
PictureRect PlacePicture(uint32_t display_mode, int picture_width, int picture_height,
                         int client_width, int client_height);

}  // namespace vantorico

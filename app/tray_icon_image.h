#pragma once
// The tray icon's picture: one 128 x 128, 32-bit image in icon-file form, held
// as a byte set in the program's constant data.

namespace vantorico {

extern const unsigned char kTrayIconImage[];

}  // namespace vantorico

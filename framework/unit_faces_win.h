#pragma once
// The window classes of the units the framework draws itself (labels and
// picture boxes), and the picture a picture box holds.
#include <windows.h>

#include "framework/window_table_win.h"

namespace vantorico {

constexpr char kWindowClassName[] = "VantorICO.Window";
constexpr char kLabelClassName[] = "VantorICO.Label";
constexpr char kPictureClassName[] = "VantorICO.Picture";

void RegisterFrameworkClasses();

// Makes the picture box's icon from its stored icon-file bytes (first image).
void LoadUnitPicture(LiveUnit& unit);

// The colour a colour word stands for; the default is the given system colour.
COLORREF ResolveColor(uint32_t stored, int system_color);

}  // namespace vantorico

#pragma once
// The stored layout of the program's windows, generated at build time from
// app/layout/main_window.json.
#include <cstddef>

namespace vantorico {

extern const unsigned char kStoredLayout[];
extern const size_t kStoredLayoutSize;

constexpr unsigned kMainWindowId = 0x52010001;

}  // namespace vantorico

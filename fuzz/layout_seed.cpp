// Writes the program's stored layout block to a file: a seed for the layout
// reader's fuzz target.
#include <cstdio>

#include "app/stored_layout.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) return 1;
  const bool ok = std::fwrite(vantorico::kStoredLayout, 1, vantorico::kStoredLayoutSize, out) ==
                  vantorico::kStoredLayoutSize;
  return std::fclose(out) == 0 && ok ? 0 : 1;
}

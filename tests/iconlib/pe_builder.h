#pragma once
// PE32 files with a resource directory laid out from a list of resources,
// for tests that need several languages, text names, cursors or animated
// resources: types ascending, text names first then identifiers ascending,
// languages in the order given.
#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace vantorico::testing {

struct PeResource {
  uint16_t type = 0;
  std::string name;  // UTF-8 text name; empty for an identifier
  uint16_t id = 0;
  uint16_t language = 0x0409;
  Bytes bytes;
};

Bytes BuildPe(const std::vector<PeResource>& resources);

// A PE32 file whose one section holds rsrc at RVA 0x1000 (file offset 0x200)
// as its resource directory.
Bytes WrapInPe(const Bytes& rsrc);

// A group directory (RT_GROUP_ICON or, with cursor, RT_GROUP_CURSOR) naming
// the given images by id; entries describe each image's DIB header.
Bytes GroupDirectoryOf(const std::vector<std::pair<uint16_t, Bytes>>& images, bool cursor);

// An RT_CURSOR resource: the hotspot, then the DIB.
Bytes CursorResource(uint16_t x, uint16_t y, const Bytes& dib);

// A small RIFF "ACON" animated cursor with a recognisable payload.
Bytes AnimatedCursorBytes(uint8_t seed);

}  // namespace vantorico::testing

namespace vantorico::testing {
// Creates one folder (its parent must exist).
bool MakeDirectoryForTest(const std::string& path);
}  // namespace vantorico::testing

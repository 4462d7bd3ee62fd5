#pragma once
// The bytes of a group's output: an icon, bitmap or PNG file of an icon
// group, a cursor file, an animated resource as it is stored.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli_options.h"
#include "cli/group_listing.h"
#include "cli/output_plan.h"
#include "iconlib/images/bitmap_export.h"

namespace vantorico {

// One file an output makes: its bytes and what its name adds after the
// group's number (all sizes of a group: "-48x48-32bpp"). An icon file is
// made in the source's room (inPlace); other outputs in bytes of their own.
struct Piece {
  Piece() = default;
  Piece(std::string nameSuffix, std::vector<uint8_t> own)
      : suffix(std::move(nameSuffix)), bytes(std::move(own)) {}
  std::string suffix;
  std::vector<uint8_t> bytes;
  ByteSpan inPlace;
  bool madeInPlace = false;
  ByteSpan Bytes() const { return madeInPlace ? inPlace : ByteSpan(bytes.data(), bytes.size()); }
};

// Memory for outputs made in place, kept until they are written; from any
// thread.
class OutputRoom {
 public:
  // length bytes, null when memory runs out.
  virtual uint8_t* Room(size_t length) = 0;

 protected:
  ~OutputRoom() = default;
};

// The PNG decoder bitmap exports and the average hash use: libpng or WIC,
// or none in a build without PNG.
PngPixelsDecoder PngDecoderOfThisBuild();

// Ready with the pieces made; otherwise Empty, Unreadable or Refused, and
// *message says why (after the group's name).
OutputStatus BuildOutput(const Options& o, IconSource& source, GroupType type, int32_t index,
                         OutputRoom& room, std::vector<Piece>* pieces, std::string* message);

}  // namespace vantorico

#pragma once
// Helpers shared by the engine's tests: hand-built images and icon files,
// scratch directories, paths to the built test modules and to Wine's files.
#include <cstdint>
#include <string>
#include <vector>

#include "iconlib/platform/file_io.h"
#include "iconlib/formats/icon_image_set.h"
#include "iconlib/images/rgba_image.h"
#include "tests/support/test_inputs.h"

namespace vantorico::testing {

using Bytes = std::vector<uint8_t>;

// A DIB in the icon convention: 40-byte header (stored height doubled,
// biSizeImage non-zero), palette, colour rows and mask rows, all patterned.
Bytes MakeDib(int32_t width, int32_t height, uint16_t bits, uint32_t paletteColors,
              uint16_t planes = 1);
// A PNG with an IHDR for the size; bitDepth 8, colour type 6 unless given.
Bytes MakePng(uint32_t width, uint32_t height, uint8_t bitDepth = 8, uint8_t colorType = 6);
// An icon file laying the images out back to back after the directory.
Bytes MakeIconFile(const std::vector<Bytes>& images);

// Takes a row decoder's output into an image, to compare with the whole
// decoders' own.
class RowCollector : public RgbaRowSink {
 public:
  bool Begin(uint32_t width, uint32_t height) override;
  void TakeRow(const uint8_t* rgba) override;
  RgbaImage image;
  int begins = 0;
  bool refuse = false;  // Begin says no
};

uint16_t LoadU16(const Bytes& b, size_t at);
uint32_t LoadU32(const Bytes& b, size_t at);
void PutU16(Bytes* b, size_t at, uint16_t v);
void PutU32(Bytes* b, size_t at, uint32_t v);

// A fresh empty directory under the build tree, removed by the destructor.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name);
  ~ScratchDir();
  // A path inside, in the form the engine's platform takes.
  std::string Path(const std::string& leaf) const;

 private:
  std::string dir_;
};

bool ReadWholeFile(const std::string& path, Bytes* out);
bool WriteWholeFile(const std::string& path, const Bytes& bytes);
bool FileExists(const std::string& path);

// The windres-built modules (PE32 and PE32+), empty when the build had no windres.
std::string TestModulePath(bool pe32Plus);

// A tmpfs of the given size mounted on a fresh folder (needs root); the
// destructor unmounts it. Tests skip when mounted() is false. Under Wine the
// test asks the host's shell to mount it, so the Windows file calls meet a
// real full disk; on Windows itself there is none.
class SmallTmpfs {
 public:
  SmallTmpfs(const std::string& name, size_t bytes);
  ~SmallTmpfs();
  bool mounted() const { return mounted_; }
  // The folder, in the form the engine's platform takes.
  const std::string& path() const { return dir_; }
  // Remounts it read-only.
  bool MakeReadOnly();

 private:
  std::string dir_;
  bool mounted_ = false;
#ifdef _WIN32
  std::string host_dir_;
  size_t bytes_ = 0;
#endif
};
// Names in a folder, for checking that nothing was left behind.
std::vector<std::string> ListFolder(const std::string& dir);

// A set built from images.
IconImageSetPtr MakeSet(const std::vector<Bytes>& images);

// The product builds these files in memory and writes them with its own
// outcome; the tests write them in one call. Null writes nothing (Failed).
WriteOutcome WriteIconFile(const IconImageSet* set, const char* path);
inline WriteOutcome WriteIconFile(const IconImageSetPtr& set, const char* path) {
  return WriteIconFile(set.get(), path);
}
WriteOutcome WriteBitmapFile(const char* path, const IconImageEntry* entry);

}  // namespace vantorico::testing

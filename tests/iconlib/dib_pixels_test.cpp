// The DIB decoder against an independent one: every DIB image of Wine's
// shell32.dll and comdlg32.dll (pulled out with icoutils' wrestool) and of the
// shared corpus's .ico files, each wrapped as a one-image .ico and decoded by
// ImageMagick (`mogrify -format rgba -depth 8`, one process for all), compared
// pixel for pixel.
//
// How the two are matched: both give straight (non-premultiplied) 8-bit RGBA,
// top row first, so values are compared as they are, with no premultiplying
// on either side. Alpha must be equal at every pixel. Colour is compared only
// where alpha > 0: a fully transparent pixel's colour is not part of the
// image (ImageMagick keeps the XOR colour there, other decoders zero it).
// 32-bit images whose alpha is all zero are drawn through their AND mask (as
// Windows draws them); ImageMagick leaves them fully transparent, so for those
// alpha is checked against the AND mask read here independently of the
// decoder and colour is compared at every pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "iconlib/images/dib_decoder.h"
#include "iconlib/formats/png_header.h"
#include "test_support.h"

namespace vantorico {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::LoadU16;
using testing::LoadU32;

struct Sample {
  std::string name;  // where it came from
  Bytes bytes;
};

std::vector<Sample> WineSamples(const fs::path& scratch) {
  std::vector<Sample> out;
  if (std::system("command -v wrestool >/dev/null 2>&1") != 0) return out;
  for (const char* dll : {"shell32.dll", "comdlg32.dll"}) {
    std::string path;
    for (bool x64 : {false, true}) {
      const std::string dir = testing::WinePeDir(x64);
      if (path.empty() && !dir.empty() && fs::exists(dir + "/" + dll)) path = dir + "/" + dll;
    }
    if (path.empty()) continue;
    const fs::path raw = scratch / (std::string("raw-") + dll);
    fs::create_directories(raw);
    const std::string cmd =
        "wrestool -x --raw -t 3 -o '" + raw.string() + "' '" + path + "' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) continue;
    for (const auto& e : fs::directory_iterator(raw)) {
      Sample s;
      s.name = std::string(dll) + ":" + e.path().filename().string();
      if (testing::ReadWholeFile(e.path().string(), &s.bytes)) out.push_back(std::move(s));
    }
  }
  return out;
}

// The images of every .ico in the corpus, read straight from the directory.
std::vector<Sample> CorpusSamples() {
  std::vector<Sample> out;
  const std::string corpus = testing::CorpusDir();
  if (corpus.empty()) return out;
  for (const auto& e : fs::recursive_directory_iterator(corpus)) {
    if (e.path().extension() != ".ico") continue;
    Bytes file;
    if (!testing::ReadWholeFile(e.path().string(), &file) || file.size() < 6) continue;
    if (LoadU16(file, 0) != 0 || LoadU16(file, 2) != 1) continue;
    const uint16_t count = LoadU16(file, 4);
    for (size_t i = 0; i < count && 6 + 16 * (i + 1) <= file.size(); ++i) {
      const uint32_t size = LoadU32(file, 6 + 16 * i + 8);
      const uint32_t offset = LoadU32(file, 6 + 16 * i + 12);
      if (offset > file.size() || size > file.size() - offset) continue;
      Sample s;
      s.name = fs::relative(e.path(), corpus).string() + "#" + std::to_string(i);
      s.bytes.assign(file.begin() + offset, file.begin() + offset + size);
      out.push_back(std::move(s));
    }
  }
  return out;
}

Bytes OneImageIconFile(const Bytes& dib, uint32_t width, uint32_t height) {
  Bytes b(22, 0);
  testing::PutU16(&b, 2, 1);
  testing::PutU16(&b, 4, 1);
  b[6] = static_cast<uint8_t>(width);
  b[7] = static_cast<uint8_t>(height);
  testing::PutU16(&b, 10, 1);
  testing::PutU16(&b, 12, LoadU16(dib, 14));
  testing::PutU32(&b, 14, static_cast<uint32_t>(dib.size()));
  testing::PutU32(&b, 18, 22);
  b.insert(b.end(), dib.begin(), dib.end());
  return b;
}

// The AND mask bit of (x, y from the top), read here without the decoder.
bool MaskBit(const Bytes& dib, uint32_t width, uint32_t height, uint32_t x, uint32_t y) {
  const uint32_t header = LoadU32(dib, 0);
  const uint64_t stride = ((uint64_t{32} * width + 31) / 32) * 4;
  const uint64_t maskStride = ((uint64_t{width} + 31) / 32) * 4;
  const bool topDown = static_cast<int32_t>(LoadU32(dib, 8)) < 0;
  const uint32_t row = topDown ? y : height - 1 - y;
  const size_t at = header + stride * height + maskStride * row + x / 8;
  return (dib.at(at) >> (7 - x % 8)) & 1;
}

class DibPixels : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scratch_ = new fs::path(fs::temp_directory_path() /
                            ("vantorico-dib-pixels-" + std::to_string(::getpid())));
    fs::remove_all(*scratch_);
    fs::create_directories(*scratch_ / "ico");
  }
  static void TearDownTestSuite() {
    fs::remove_all(*scratch_);
    delete scratch_;
    scratch_ = nullptr;
  }

  // Decodes every DIB sample both ways and compares; returns how many matched.
  // Our refusals are collected by sample name.
  static size_t Compare(const std::vector<Sample>& samples,
                        std::map<std::string, DibDecodeError>* refused) {
    struct Ours {
      size_t sample;
      RgbaImage image;
    };
    std::vector<Ours> decoded;
    const fs::path dir = *scratch_ / "ico";
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (size_t i = 0; i < samples.size(); ++i) {
      const Bytes& b = samples[i].bytes;
      if (IsPngImage(ByteSpan(b.data(), b.size()))) continue;
      DibDecodeResult r = DecodeDib(ByteSpan(b.data(), b.size()));
      if (!r.ok()) {
        (*refused)[samples[i].name] = r.error;
        continue;
      }
      char leaf[32];
      std::snprintf(leaf, sizeof(leaf), "%06zu.ico", decoded.size());
      EXPECT_TRUE(testing::WriteWholeFile((dir / leaf).string(),
                                          OneImageIconFile(b, r.image.width, r.image.height)));
      decoded.push_back({i, std::move(r.image)});
    }
    if (decoded.empty()) return 0;
    const std::string cmd =
        "cd '" + dir.string() + "' && mogrify -format rgba -depth 8 '*.ico' >/dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    size_t matched = 0;
    for (size_t k = 0; k < decoded.size(); ++k) {
      const Sample& s = samples[decoded[k].sample];
      const RgbaImage& ours = decoded[k].image;
      char leaf[32];
      std::snprintf(leaf, sizeof(leaf), "%06zu.rgba", k);
      Bytes theirs;
      if (!testing::ReadWholeFile((dir / leaf).string(), &theirs)) {
        ADD_FAILURE() << s.name << ": ImageMagick gave nothing";
        continue;
      }
      if (theirs.size() != ours.pixels.size()) {
        ADD_FAILURE() << s.name << ": " << theirs.size() << " bytes from ImageMagick, "
                      << ours.pixels.size() << " decoded";
        continue;
      }
      const bool thirtyTwo = LoadU16(s.bytes, 14) == 32;
      bool alphaAllZero = thirtyTwo;
      for (size_t i = 3; i < theirs.size() && alphaAllZero; i += 4) alphaAllZero = theirs[i] == 0;
      size_t bad = 0;
      std::string first;
      for (uint32_t y = 0; y < ours.height; ++y) {
        for (uint32_t x = 0; x < ours.width; ++x) {
          const size_t at = (size_t{y} * ours.width + x) * 4;
          uint8_t alpha = theirs[at + 3];
          if (alphaAllZero) alpha = MaskBit(s.bytes, ours.width, ours.height, x, y) ? 0 : 255;
          bool same = ours.pixels[at + 3] == alpha;
          if (same && (alpha > 0 || alphaAllZero)) {
            for (int c = 0; c < 3; ++c) same = same && ours.pixels[at + c] == theirs[at + c];
          }
          if (!same && bad++ == 0) {
            first = "(" + std::to_string(x) + "," + std::to_string(y) + ")";
          }
        }
      }
      if (bad == 0) {
        ++matched;
      } else {
        ADD_FAILURE() << s.name << ": " << bad << " pixels differ, first at " << first;
      }
    }
    return matched;
  }

  static fs::path* scratch_;
};
fs::path* DibPixels::scratch_ = nullptr;

bool HaveImageMagick() {
  return std::system("command -v mogrify >/dev/null 2>&1") == 0;
}

TEST_F(DibPixels, WineShell32AndComdlg32MatchImageMagick) {
  VANTORICO_REQUIRE_INPUT(HaveImageMagick(), "no ImageMagick");
  const std::vector<Sample> samples = WineSamples(*scratch_);
  VANTORICO_REQUIRE_INPUT(!samples.empty(), "no Wine shell32.dll / comdlg32.dll or no wrestool");
  std::map<std::string, DibDecodeError> refused;
  const size_t matched = Compare(samples, &refused);
  for (const auto& [name, error] : refused)
    ADD_FAILURE() << name << ": " << DibDecodeErrorName(error);
  // Wine's shell32.dll alone holds more than 1600 DIB images.
  EXPECT_GT(matched, 1000u);
}

// Layouts the real files above do not have: odd widths at every depth, and a
// 32-bit image whose alpha is all zero (drawn through its AND mask). (This
// ImageMagick reads no 16-bit icon images; DibDecoder's cases check those
// against values worked out by hand.)
TEST_F(DibPixels, HandMadeLayoutsMatchImageMagick) {
  VANTORICO_REQUIRE_INPUT(HaveImageMagick(), "no ImageMagick");
  std::vector<Sample> samples;
  for (uint16_t bits : {1, 4, 8, 24, 32}) {
    for (int32_t width : {1, 7, 33}) {
      Sample s;
      s.name = std::to_string(bits) + " bits, width " + std::to_string(width);
      s.bytes = testing::MakeDib(width, 5, bits, bits <= 8 ? 1u << bits : 0);
      samples.push_back(std::move(s));
    }
  }
  Sample zero;
  zero.name = "32 bits, alpha all zero";
  zero.bytes = testing::MakeDib(19, 6, 32, 0);
  for (size_t i = 40 + 3; i < 40 + 19 * 6 * 4; i += 4) zero.bytes[i] = 0;
  samples.push_back(std::move(zero));
  std::map<std::string, DibDecodeError> refused;
  EXPECT_EQ(Compare(samples, &refused), samples.size());
  EXPECT_TRUE(refused.empty());
}

TEST_F(DibPixels, CorpusIconFilesMatchImageMagick) {
  VANTORICO_REQUIRE_INPUT(HaveImageMagick(), "no ImageMagick");
  const std::vector<Sample> samples = CorpusSamples();
  VANTORICO_REQUIRE_INPUT(!samples.empty(), "no corpus");
  std::map<std::string, DibDecodeError> refused;
  const size_t matched = Compare(samples, &refused);
  // The corpus's broken images, each refused for its own reason.
  const std::map<std::string, DibDecodeError> expected = {
      {"gdk-pixbuf/invalid.1.ico#0", DibDecodeError::UnsupportedCompression},
      {"image-rs/Bad_smile-incorrect-image-length.ico#0", DibDecodeError::ColorRowsPastData},
      {"image-rs/truncated_mask_32bpp.ico#0", DibDecodeError::MaskRowsPastData},
      {"pillow/decompression_bomb.ico#0", DibDecodeError::ImageTooLarge},
  };
  for (const auto& [name, error] : refused) {
    const auto known = expected.find(name);
    if (known == expected.end()) {
      ADD_FAILURE() << name << ": refused (" << DibDecodeErrorName(error) << ")";
    } else {
      EXPECT_EQ(error, known->second) << name << ": " << DibDecodeErrorName(error);
    }
  }
  EXPECT_GT(matched, 10u);
}

}  // namespace
}  // namespace vantorico

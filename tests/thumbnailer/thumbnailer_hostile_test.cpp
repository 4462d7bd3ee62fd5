// Hostile files through the installed thumbnailer, as a file manager would
// hand it a download: each ends with a valid picture, or with a failure and
// no picture, and the costly ones within the worker's memory bounds.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "iconlib/images/png_codec.h"
#include "iconlib/images/rgba_image.h"
#include "installed_thumbnailer.h"
#include "thumbnailer/thumbnailer_limits.h"

namespace vantorico {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::InstalledThumbnailer;

void PutBe32(Bytes* b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b->push_back(static_cast<uint8_t>(v >> s));
}

void AppendChunk(Bytes* png, const char* type, const Bytes& body) {
  PutBe32(png, static_cast<uint32_t>(body.size()));
  const size_t start = png->size();
  png->insert(png->end(), type, type + 4);
  png->insert(png->end(), body.begin(), body.end());
  PutBe32(png, static_cast<uint32_t>(
                   crc32(0, png->data() + start, static_cast<uInt>(png->size() - start))));
}

// A complete, valid PNG of size x size 1-bit grey pixels, all black: a few
// KB that decode to size x size x 4 bytes.
Bytes BlackPng(uint32_t size) {
  const size_t row = 1 + (size + 7) / 8;
  const Bytes raw(row * size, 0);  // filter byte 0, black pixels
  uLongf packed = compressBound(static_cast<uLong>(raw.size()));
  Bytes idat(packed);
  EXPECT_EQ(compress2(idat.data(), &packed, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
  idat.resize(packed);
  Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes ihdr;
  PutBe32(&ihdr, size);
  PutBe32(&ihdr, size);
  ihdr.insert(ihdr.end(), {1, 0, 0, 0, 0});
  AppendChunk(&png, "IHDR", ihdr);
  AppendChunk(&png, "IDAT", idat);
  AppendChunk(&png, "IEND", {});
  return png;
}

// Writes bytes as the file at path, an empty file included.
void Store(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

class ThumbnailerHostile : public InstalledThumbnailer {
 protected:
  // Runs input into a file the client holds (as tumbler does) and, when
  // asked, into an absent one: a valid, not blank PNG with success, or
  // nothing with failure.
  void ExpectPictureOrNothing(const fs::path& input, int size, bool alsoAbsent) {
    const fs::path held = Out("held.png");
    Store(held, Bytes());
    const int status = RunDirect(input.string(), held.string(), size);
    ASSERT_GE(status, 0) << input;
    if (status == testing::kExitWritten) {
      Bytes png;
      ASSERT_TRUE(testing::ReadWholeFile(held.string(), &png));
      const PngDecodeResult r = DecodePng(ByteSpan(png.data(), png.size()));
      ASSERT_TRUE(r.ok()) << input << ": " << PngCodecErrorName(r.error);
      EXPECT_FALSE(IsFullyTransparent(r.image)) << input;
      EXPECT_LE(std::max(r.image.width, r.image.height), static_cast<uint32_t>(size)) << input;
    } else {
      EXPECT_EQ(fs::file_size(held), 0u) << input << " (status " << status << ")";
    }
    fs::remove(held);
    const fs::path absent = Out("absent.png");
    if (alsoAbsent && RunDirect(input.string(), absent.string(), size) != testing::kExitWritten) {
      EXPECT_FALSE(fs::exists(absent)) << input;
    }
    fs::remove(absent);
    ExpectOnlyFiles({});
  }
};

// The largest resident size of the waited-for children so far, in KiB.
long ChildrenMaxRssKib() {
  struct rusage usage;
  return getrusage(RUSAGE_CHILDREN, &usage) == 0 ? usage.ru_maxrss : -1;
}

TEST_F(ThumbnailerHostile, AHugeImageInATinyFileIsNotDecoded) {
  // 8192 x 8192 pixels in about 9 KB: 256 MB decoded, a GB to scale.
  const Bytes png = BlackPng(8192);
  ASSERT_LT(png.size(), 16u * 1024);
  const fs::path ico = root() / "huge.ico";
  ASSERT_TRUE(testing::WriteWholeFile(ico.string(), testing::MakeIconFile({png})));
  for (int size : {128, 256}) {
    const fs::path out = Out("t.png");
    ASSERT_TRUE(testing::WriteWholeFile(out.string(), Bytes{1}));
    EXPECT_EQ(Run(ico.string(), out.string(), size), testing::kExitNoIcon);
    EXPECT_EQ(fs::file_size(out), 0u);
    fs::remove(out);
  }
  // Next to a small image the group still claims more pixels than a file
  // of its size may make the engine decode: it is refused whole.
  const fs::path mixed = root() / "mixed.ico";
  ASSERT_TRUE(testing::WriteWholeFile(mixed.string(),
                                      testing::MakeIconFile({png, testing::OpaqueDib(48)})));
  const fs::path out = Out("t.png");
  EXPECT_EQ(Run(mixed.string(), out.string(), 128), testing::kExitNoIcon);
  fs::remove(out);
  // 4096 x 4096 fits the budget, and it is scaled as its rows are decoded
  // (decoded whole it would take 64 MB, and 600 MB to scale): alone or next
  // to a small image, it is the one shown, in little memory.
  const Bytes large = BlackPng(4096);
  ASSERT_TRUE(testing::WriteWholeFile(mixed.string(),
                                      testing::MakeIconFile({large, testing::OpaqueDib(48)})));
  ExpectThumbnail(mixed.string(), 128, 128);
  const fs::path alone = root() / "large.ico";
  ASSERT_TRUE(testing::WriteWholeFile(alone.string(), testing::MakeIconFile({large})));
  ExpectThumbnail(alone.string(), 256, 256);
  EXPECT_LT(ChildrenMaxRssKib(), 64 * 1024);
}

TEST_F(ThumbnailerHostile, AHugeSparseFileIsReadOnlyWhereItsIconsAre) {
  // A valid program, then 2 GB of holes: only its headers, its resource
  // table and its icon are read.
  const fs::path sparse = root() / "sparse.exe";
  ASSERT_TRUE(testing::WriteWholeFile(sparse.string(), testing::MakeNeIconLibrary()));
  fs::resize_file(sparse, uint64_t{2} << 30);
  ExpectThumbnail(sparse.string(), 128, 32);
  EXPECT_LT(ChildrenMaxRssKib(), 64 * 1024);
}

// Hand-built damaged cursor and icon files.
TEST_F(ThumbnailerHostile, DamagedIconAndCursorFilesGiveAPictureOrNothing) {
  Bytes cursor;
  ASSERT_TRUE(testing::ReadWholeFile(testing::CursorFilePath(), &cursor));
  const Bytes ico = testing::MakeIconFile({testing::OpaqueDib(32), BlackPng(64)});
  std::vector<Bytes> built;
  for (size_t cut : {size_t{6}, size_t{22}, size_t{60}, cursor.size() - 1}) {
    built.emplace_back(cursor.begin(), cursor.begin() + static_cast<long>(cut));
  }
  Bytes wrongOffset = cursor;
  testing::PutU32(&wrongOffset, 6 + 12, 0xFFFFFFF0u);
  built.push_back(wrongOffset);
  Bytes manyEntries = cursor;
  testing::PutU16(&manyEntries, 4, 0xFFFF);
  built.push_back(manyEntries);
  for (size_t cut = 0; cut < ico.size(); cut += 97) {
    built.emplace_back(ico.begin(), ico.begin() + static_cast<long>(cut));
  }
  for (size_t i = 0; i < built.size(); ++i) {
    const fs::path p = root() / ("built-" + std::to_string(i));
    Store(p, built[i]);
    ExpectPictureOrNothing(p, 128, /*alsoAbsent=*/true);
    if (HasFatalFailure()) return;
  }
}

// Every input the fuzzers and the regression suite keep, one folder a case.
class ThumbnailerCorpus : public ThumbnailerHostile,
                          public ::testing::WithParamInterface<const char*> {};

TEST_P(ThumbnailerCorpus, GivesAPictureOrNothing) {
  const fs::path dir = fs::path(VANTORICO_SOURCE_DIR) / GetParam();
  size_t n = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    if (!e.is_regular_file()) continue;
    ExpectPictureOrNothing(e.path(), 128, /*alsoAbsent=*/false);
    if (HasFatalFailure()) return;
    ++n;
  }
  EXPECT_GT(n, 0u) << dir;
}

INSTANTIATE_TEST_SUITE_P(Replay, ThumbnailerCorpus,
                         ::testing::Values("fuzz/corpus/module_reader",
                                           "fuzz/corpus/icon_file_reader",
                                           "fuzz/corpus/dib_decoder", "fuzz/corpus/icon_choice",
                                           "fuzz/corpus/layout_reader", "fuzz/corpus/drop_text",
                                           "fuzz/corpus/filter_conversion",
                                           "tests/data/regressions"),
                         [](const ::testing::TestParamInfo<const char*>& param) {
                           std::string name = param.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace vantorico

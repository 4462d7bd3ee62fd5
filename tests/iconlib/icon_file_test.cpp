// Reading icon files and writing icon and bitmap files.
#include <gtest/gtest.h>

#include <cstring>

#include "base/heap.h"
#include "iconlib/formats/bitmap_file_writer.h"
#include "iconlib/formats/icon_file_reader.h"
#include "iconlib/formats/icon_file_writer.h"
#include "iconlib/formats/image_fields.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

// Reads bytes through the same path a file takes.
IconImageSetPtr ReadBytes(const Bytes& b) {
  return ReadIconFileBytes(ByteSpan(b.data(), b.size()), "mem.ico");
}

// An icon file written by the engine, returned as bytes.
Bytes WriteToBytes(const IconImageSetPtr& set, const ScratchDir& dir, const char* leaf = "o.ico") {
  EXPECT_TRUE(WriteIconFile(set, dir.Path(leaf).c_str()));
  Bytes out;
  EXPECT_TRUE(ReadWholeFile(dir.Path(leaf), &out));
  return out;
}

class HeapBalance : public ::testing::Test {
 protected:
  void SetUp() override { before_ = GetHeapCounters().liveBlocks; }
  void TearDown() override {
    SetHeapFailureAfter(-1);
    EXPECT_EQ(GetHeapCounters().liveBlocks, before_);
  }
  uint64_t before_ = 0;
};

using IconFileReader = HeapBalance;

TEST_F(IconFileReader, ReadsImagesInDirectoryOrderWhereverTheyLie) {
  const Bytes a = MakeDib(16, 16, 4, 16), b = MakeDib(32, 32, 32, 0);
  Bytes file = MakeIconFile({a, b});
  // Swap the two images' places in the file; the directory follows.
  Bytes swapped(file.begin(), file.begin() + 38);
  swapped.insert(swapped.end(), b.begin(), b.end());
  swapped.insert(swapped.end(), a.begin(), a.end());
  PutU32(&swapped, 6 + 12, static_cast<uint32_t>(38 + b.size()));
  PutU32(&swapped, 22 + 12, 38);
  IconImageSetPtr set = ReadBytes(swapped);
  ASSERT_NE(set, nullptr);
  ASSERT_EQ(set->imageCount, 2u);
  EXPECT_STREQ(set->iconFilePath, "mem.ico");
  EXPECT_STREQ(set->modulePath, "");
  EXPECT_EQ(Bytes(set->images[0].data, set->images[0].data + set->images[0].dataSize), a);
  EXPECT_EQ(Bytes(set->images[1].data, set->images[1].data + set->images[1].dataSize), b);
  EXPECT_EQ(set->images[0].width, 16);  // from the header, not the directory byte 0x77
  EXPECT_EQ(set->images[1].bitDepth, 32u);
}

TEST_F(IconFileReader, ZeroImagesGiveAnEmptySet) {
  IconImageSetPtr set = ReadBytes(MakeIconFile({}));
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->imageCount, 0u);
}

TEST_F(IconFileReader, RejectsBadHeadersAndShortFiles) {
  const Bytes good = MakeIconFile({MakeDib(16, 16, 4, 16), MakeDib(16, 16, 1, 2)});
  Bytes cursor = good;
  PutU16(&cursor, 2, 2);
  EXPECT_EQ(ReadBytes(cursor), nullptr);
  Bytes reserved = good;
  PutU16(&reserved, 0, 1);
  EXPECT_EQ(ReadBytes(reserved), nullptr);
  // Every cut, inside the header, the directory or any image, is refused.
  for (size_t n = 0; n < good.size(); ++n) {
    EXPECT_EQ(ReadBytes(Bytes(good.begin(), good.begin() + n)), nullptr) << n;
  }
}

TEST_F(IconFileReader, DirectoryPointingPastTheEndAllocatesNothing) {
  Bytes file = MakeIconFile({MakeDib(16, 16, 4, 16)});
  const struct {
    size_t field;
    uint32_t value;
  } lies[] = {{8, 0xFFFFFFF9}, {12, 0x7FFFFFFF}, {8, 297}, {12, 0xFFFFFFFF}};
  for (const auto& lie : lies) {
    Bytes bad = file;
    PutU32(&bad, 6 + lie.field, lie.value);
    const uint64_t total = GetHeapCounters().totalAllocations;
    EXPECT_EQ(ReadBytes(bad), nullptr);
    // Only the directory block may have been taken.
    EXPECT_LE(GetHeapCounters().totalAllocations - total, 1u);
  }
}

TEST_F(IconFileReader, OverlappingEntriesAreAllowedButCapped) {
  const Bytes img = MakeDib(16, 16, 4, 16);
  Bytes file = MakeIconFile({img, img});
  PutU32(&file, 22 + 12, LoadU32(file, 6 + 12));  // both entries at the same bytes
  IconImageSetPtr set = ReadBytes(file);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->images[1].dataSize, img.size());
}

TEST_F(IconFileReader, AllocationFailuresAreReaderFailures) {
  const Bytes file = MakeIconFile({MakeDib(16, 16, 4, 16), MakeDib(32, 32, 8, 256)});
  for (int64_t n = 0; n < 3; ++n) {  // the set, then each image
    SetHeapFailureAfter(n);
    EXPECT_EQ(ReadBytes(file), nullptr) << n;
    SetHeapFailureAfter(-1);
  }
  SetHeapFailureAfter(3);
  IconImageSetPtr set = ReadBytes(file);
  SetHeapFailureAfter(-1);
  EXPECT_NE(set, nullptr);
}

TEST_F(IconFileReader, MissingFileIsNone) {
  ScratchDir dir("reader_missing");
  EXPECT_EQ(ReadIconFile(dir.Path("absent.ico").c_str()), nullptr);
  EXPECT_EQ(ReadIconFile(nullptr), nullptr);
}

using IconFileWriter = HeapBalance;

TEST_F(IconFileWriter, EmptySetIsSixBytes) {
  ScratchDir dir("writer_empty");
  IconImageSetPtr set = MakeSet({});
  EXPECT_EQ(WriteToBytes(set, dir), (Bytes{0, 0, 1, 0, 0, 0}));
}

TEST_F(IconFileWriter, OneFourBitImageGivesThe318ByteFile) {
  ScratchDir dir("writer_318");
  const Bytes img = MakeDib(16, 16, 4, 16);
  IconImageSetPtr set = MakeSet({img});
  const Bytes out = WriteToBytes(set, dir);
  ASSERT_EQ(out.size(), 318u);
  const Bytes head{0, 0, 1, 0, 1, 0, 0x10, 0x10, 0x10, 0, 1, 0, 4, 0, 0x28, 1, 0, 0, 0x16, 0, 0, 0};
  EXPECT_EQ(Bytes(out.begin(), out.begin() + 22), head);
  Bytes expected_image = img;
  PutU32(&expected_image, 20, 0);
  EXPECT_EQ(Bytes(out.begin() + 22, out.end()), expected_image);
  // The set is as it was.
  EXPECT_EQ(LoadU32(Bytes(set->images[0].data, set->images[0].data + 24), 20), 0x11223344u);
}

TEST_F(IconFileWriter, DirectoryFieldsComeFromTheImages) {
  ScratchDir dir("writer_fields");
  IconImageSetPtr set = MakeSet({MakeDib(16, 16, 4, 16), MakeDib(32, 32, 32, 0),
                                 MakeDib(16, 16, 1, 2), MakeDib(256, 256, 32, 0)});
  const Bytes out = WriteToBytes(set, dir);
  const uint8_t colors[] = {16, 0, 2, 0};
  const uint8_t sizes[] = {16, 32, 16, 0};
  // Images follow the 6-byte header and four 16-byte entries, back to back.
  uint32_t offset = 6 + 16 * 4;
  for (uint32_t i = 0; i < 4; ++i) {
    const size_t e = 6 + 16 * i;
    EXPECT_EQ(out[e + 0], sizes[i]) << i;
    EXPECT_EQ(out[e + 1], sizes[i]) << i;
    EXPECT_EQ(out[e + 2], colors[i]) << i;
    EXPECT_EQ(LoadU32(out, e + 8), set->images[i].dataSize);
    EXPECT_EQ(LoadU32(out, e + 12), offset) << i;
    offset += set->images[i].dataSize;
  }
  EXPECT_EQ(out.size(), offset);
}

TEST_F(IconFileWriter, ReadAndWrittenAgainKeepsImages) {
  ScratchDir dir("writer_roundtrip");
  const std::vector<Bytes> imgs = {MakeDib(32, 32, 8, 256), MakePng(256, 256),
                                   MakeDib(16, 16, 4, 16)};
  ASSERT_TRUE(WriteWholeFile(dir.Path("in.ico"), MakeIconFile(imgs)));
  IconImageSetPtr set = ReadIconFile(dir.Path("in.ico").c_str());
  ASSERT_NE(set, nullptr);
  const Bytes out = WriteToBytes(set, dir);
  IconImageSetPtr again = ReadBytes(out);
  ASSERT_NE(again, nullptr);
  ASSERT_EQ(again->imageCount, 3u);
  for (uint32_t i = 0; i < 3; ++i) {
    Bytes want = imgs[i];
    if (i != 1) PutU32(&want, 20, 0);  // PNG bytes go out unchanged
    EXPECT_EQ(Bytes(again->images[i].data, again->images[i].data + again->images[i].dataSize),
              want);
  }
}

TEST_F(IconFileWriter, PngEntryFromIhdr) {
  ScratchDir dir("writer_png");
  IconImageSetPtr set = MakeSet({MakePng(256, 256), MakePng(48, 48, 8, 2)});
  const Bytes out = WriteToBytes(set, dir);
  const uint8_t expect0[] = {0, 0, 0, 0, 1, 0, 32, 0};
  const uint8_t expect1[] = {48, 48, 0, 0, 1, 0, 24, 0};
  EXPECT_EQ(std::memcmp(out.data() + 6, expect0, 8), 0);
  EXPECT_EQ(std::memcmp(out.data() + 22, expect1, 8), 0);
}

TEST_F(IconFileWriter, ShortImagesAreCopiedAsTheyAre) {
  ScratchDir dir("writer_short");
  Bytes tiny = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13,
                14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25};
  IconImageSetPtr set = MakeSet({tiny, {}});
  const Bytes out = WriteToBytes(set, dir);
  ASSERT_EQ(out.size(), 6u + 32 + tiny.size());
  EXPECT_EQ(Bytes(out.begin() + 38, out.end()), tiny);
  // Planes and bit count come from whatever header bytes there are.
  EXPECT_EQ(LoadU16(out, 6 + 4), 0x0E0D);
  EXPECT_EQ(out[6 + 2], 0);
  EXPECT_EQ(out[22 + 2], 1);  // an empty image: depth 0 gives 1
  EXPECT_EQ(out[6 + 0], 0);
}

TEST_F(IconFileWriter, MissingDirectoryCreatesNothing) {
  ScratchDir dir("writer_missing");
  IconImageSetPtr set = MakeSet({MakeDib(16, 16, 4, 16)});
  EXPECT_FALSE(WriteIconFile(set, dir.Path("no/such/dir/x.ico").c_str()));
  EXPECT_FALSE(WriteIconFile(nullptr, dir.Path("x.ico").c_str()));
  EXPECT_FALSE(FileExists(dir.Path("x.ico")));
}

TEST_F(IconFileWriter, ExistingFileIsReplaced) {
  ScratchDir dir("writer_replace");
  ASSERT_TRUE(WriteWholeFile(dir.Path("o.ico"), Bytes(5000, 0xEE)));
  IconImageSetPtr set = MakeSet({});
  EXPECT_EQ(WriteToBytes(set, dir).size(), 6u);
}

using BitmapFileWriter = HeapBalance;

TEST_F(BitmapFileWriter, ThirtyTwoByFourBitGivesThe630ByteFile) {
  ScratchDir dir("bmp_630");
  const Bytes img = MakeDib(32, 32, 4, 16);
  IconImageSetPtr set = MakeSet({img});
  ASSERT_TRUE(WriteBitmapFile(dir.Path("o.bmp").c_str(), &set->images[0]));
  Bytes out;
  ASSERT_TRUE(ReadWholeFile(dir.Path("o.bmp"), &out));
  ASSERT_EQ(out.size(), 630u);
  EXPECT_EQ(out[0], 'B');
  EXPECT_EQ(out[1], 'M');
  EXPECT_EQ(LoadU32(out, 2), 630u);
  EXPECT_EQ(LoadU32(out, 6), 0u);
  EXPECT_EQ(LoadU32(out, 10), 118u);
  EXPECT_EQ(LoadU32(out, 14 + 8), 32u);
  EXPECT_EQ(LoadU32(out, 14 + 20), 0x11223344u);  // biSizeImage as stored
  EXPECT_EQ(Bytes(out.begin() + 54, out.end()),
            Bytes(img.begin() + 40, img.begin() + 40 + 64 + 512));
  EXPECT_EQ(LoadU32(Bytes(img), 8), 64u);
  EXPECT_EQ(set->images[0].data[8], 64);  // the set keeps its stored height
}

// A BITMAPV5HEADER is 124 bytes: the pixels start after it, not after 40.
TEST_F(BitmapFileWriter, LongerHeadersKeepAllTheirPixels) {
  Bytes img = MakeDib(32, 32, 4, 16);
  img.insert(img.begin() + 40, 84, 0x5A);
  PutU32(&img, 0, 124);
  IconImageSetPtr set = MakeSet({img});
  std::vector<uint8_t> out;
  ASSERT_TRUE(BuildBitmapFile(set->images[0], &out));
  ASSERT_EQ(out.size(), 14u + 124 + 64 + 512);
  EXPECT_EQ(LoadU32(out, 2), out.size());
  EXPECT_EQ(LoadU32(out, 10), 14u + 124 + 64);
  EXPECT_EQ(Bytes(out.begin() + 14 + 124, out.end()),
            Bytes(img.begin() + 124, img.begin() + 124 + 64 + 512));
}

TEST_F(BitmapFileWriter, RefusesPngAndUndescribedImagesWithoutCreatingAFile) {
  ScratchDir dir("bmp_refuse");
  Bytes cut = MakeDib(32, 32, 4, 16);
  cut.resize(200);
  IconImageSetPtr set = MakeSet({MakePng(256, 256), cut, {}});
  for (uint32_t i = 0; i < set->imageCount; ++i) {
    EXPECT_FALSE(WriteBitmapFile(dir.Path("o.bmp").c_str(), &set->images[i])) << i;
    EXPECT_FALSE(FileExists(dir.Path("o.bmp"))) << i;
  }
  EXPECT_FALSE(WriteBitmapFile(dir.Path("o.bmp").c_str(), nullptr));
  EXPECT_FALSE(WriteBitmapFile(dir.Path("none/o.bmp").c_str(), nullptr));
}

}  // namespace
}  // namespace vantorico

// Hostile icon files and awkward paths, through the reader and through the
// extraction command as the tool's loop calls it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/heap.h"
#include "iconlib/command/extract_file_icon.h"
#include "iconlib/formats/icon_file_reader.h"
#include "iconlib/formats/module_source.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

class MalformedFiles : public ::testing::Test {
 protected:
  void SetUp() override { live_ = GetHeapCounters().liveBlocks; }
  void TearDown() override {
    ReleaseExtractCache();
    EXPECT_EQ(GetHeapCounters().liveBlocks, live_);
  }
  static int32_t ExtractIcon(const std::string& source, const std::string& out) {
    return ExtractIconGroup(SourceKind::IconFile, source.c_str(), ExtractToFile,
                            OutputKind::IconFile, out.c_str(), 1);
  }
  static int32_t ExtractModule(const std::string& source, const std::string& out) {
    return ExtractIconGroup(SourceKind::Module, source.c_str(), ExtractToFile, OutputKind::IconFile,
                            out.c_str(), 1);
  }
  uint64_t live_ = 0;
};

// An icon source counts as one group whether or not it reads; nothing is
// written when it does not.
void ExpectIconSourceRefused(const ScratchDir& dir, const std::string& source) {
  EXPECT_EQ(ReadIconFile(source.c_str()), nullptr) << source;
  EXPECT_EQ(ExtractIconGroup(SourceKind::IconFile, source.c_str(), ExtractToFile,
                             OutputKind::IconFile, dir.Path("out.ico").c_str(), 1),
            1);
  EXPECT_FALSE(FileExists(dir.Path("out.ico"))) << source;
}

TEST_F(MalformedFiles, IconFileClaimingFourGigabytes) {
  ScratchDir dir("malformed_4gb");
  // One entry of 0xFFFFFFFF bytes.
  Bytes one = MakeIconFile({MakeDib(16, 16, 4, 16)});
  PutU32(&one, 6 + 8, 0xFFFFFFFFu);
  ASSERT_TRUE(WriteWholeFile(dir.Path("one.ico"), one));
  ExpectIconSourceRefused(dir, dir.Path("one.ico"));
  // 65535 entries over the same 64 KB: each fits, together 4 GB less 64 KB.
  Bytes many(6 + 16 * size_t{0xFFFF} + 0x10000, 0);
  PutU16(&many, 2, 1);
  PutU16(&many, 4, 0xFFFF);
  for (size_t i = 0; i < 0xFFFF; ++i) {
    PutU32(&many, 6 + 16 * i + 8, 0x10000);
    PutU32(&many, 6 + 16 * i + 12, static_cast<uint32_t>(6 + 16 * size_t{0xFFFF}));
  }
  ASSERT_TRUE(WriteWholeFile(dir.Path("many.ico"), many));
  const uint64_t allocations = GetHeapCounters().totalAllocations;
  ExpectIconSourceRefused(dir, dir.Path("many.ico"));
  // Refused before any image is taken: at most the file's bytes and the
  // directory block, for each of the two reads.
  EXPECT_LE(GetHeapCounters().totalAllocations - allocations, 4u);
}

TEST_F(MalformedFiles, CursorFileIsNotAnIconFile) {
  ScratchDir dir("malformed_cursor");
  Bytes cursor = MakeIconFile({MakeDib(32, 32, 1, 2)});
  PutU16(&cursor, 2, 2);  // type 2: a cursor, hotspots in place of planes and depth
  PutU16(&cursor, 6 + 4, 5);
  PutU16(&cursor, 6 + 6, 7);
  ASSERT_TRUE(WriteWholeFile(dir.Path("arrow.cur"), cursor));
  ASSERT_TRUE(WriteWholeFile(dir.Path("arrow.ico"), cursor));
  ExpectIconSourceRefused(dir, dir.Path("arrow.ico"));
  EXPECT_EQ(OpenPortableModule(dir.Path("arrow.cur").c_str()), nullptr);
}

TEST_F(MalformedFiles, EmptyFile) {
  ScratchDir dir("malformed_empty");
  for (const char* leaf : {"empty.ico", "empty.exe"}) {
    std::ofstream(dir.Path(leaf), std::ios::binary).close();
    ASSERT_TRUE(FileExists(dir.Path(leaf)));
  }
  ExpectIconSourceRefused(dir, dir.Path("empty.ico"));
  EXPECT_EQ(OpenPortableModule(dir.Path("empty.exe").c_str()), nullptr);
  EXPECT_EQ(ExtractModule(dir.Path("empty.exe"), dir.Path("out.ico")), 0);
  EXPECT_FALSE(FileExists(dir.Path("out.ico")));
}

TEST_F(MalformedFiles, DirectoryGivenAsTheSource) {
  ScratchDir dir("malformed_dir_source");
  std::error_code ec;
  std::filesystem::create_directory(dir.Path("folder.ico"), ec);
  std::filesystem::create_directory(dir.Path("folder.exe"), ec);
  ExpectIconSourceRefused(dir, dir.Path("folder.ico"));
  EXPECT_EQ(OpenPortableModule(dir.Path("folder.exe").c_str()), nullptr);
  EXPECT_EQ(ExtractModule(dir.Path("folder.exe"), dir.Path("out.ico")), 0);
  EXPECT_FALSE(FileExists(dir.Path("out.ico")));
}

TEST_F(MalformedFiles, OutputDirectoryThatCannotBeWritten) {
  ScratchDir dir("malformed_output");
  ASSERT_TRUE(WriteWholeFile(dir.Path("in.ico"), MakeIconFile({MakeDib(16, 16, 4, 16)})));
  ASSERT_TRUE(WriteWholeFile(dir.Path("plain"), Bytes{1}));
  // A file where a directory should be, and a directory that does not exist.
  for (const std::string& out : {dir.Path("plain") + "/1.ico", dir.Path("absent") + "/1.ico"}) {
    EXPECT_EQ(ExtractIcon(dir.Path("in.ico"), out), 1) << out;
    EXPECT_FALSE(FileExists(out)) << out;
  }
  const std::string module = TestModulePath(false);
  if (module.empty()) return;
  EXPECT_EQ(ExtractModule(module, dir.Path("absent") + "/1.ico"), 7);
  EXPECT_FALSE(FileExists(dir.Path("absent") + "/1.ico"));
}

// Other projects' odd and broken icon files: each gives the exact outcome
// noted here, and a readable one goes through the extraction command intact.
TEST_F(MalformedFiles, CorpusIconFilesGiveTheirKnownResults) {
  const std::string corpus = CorpusDir();
  VANTORICO_REQUIRE_INPUT(!corpus.empty(), "no corpus");
  const struct {
    const char* file;
    uint32_t images;  // 0: refused
    int32_t width, height;
    uint32_t bitDepth, dataSize;  // of the first image
  } cases[] = {
      {"pillow/hopper.ico", 1, 16, 16, 8, 1384},
      {"pillow/hopper_256x256.ico", 1, 256, 256, 24, 204840},
      {"pillow/pillow.ico", 5, 256, 256, 32, 84676},         // PNG first
      {"pillow/hopper_unexpected.ico", 1, 16, 16, 8, 1384},  // the DIB's size, not the directory's
      {"pillow/decompression_bomb.ico", 1, 0, 0, 0, 176},    // 65535x65535 claimed: bytes kept
      {"image-rs/lenient-bpp.ico", 1, 256, 256, 1, 332},     // directory depth 500 ignored
      {"image-rs/Bad_smile-incorrect-image-length.ico", 1, 0, 0, 0, 372},
      {"image-rs/truncated_mask_32bpp.ico", 1, 64, 64, 32, 16680},
      {"image-rs/multiple_entries_with_different_bit_depth.ico", 9, 32, 32, 4, 744},
      {"corkami/ico.ico", 1, 13, 7, 1, 79},
      {"gdk-pixbuf/squares.ico", 1, 100, 100, 4, 6904},
      {"gdk-pixbuf/bad-header.ico", 0, 0, 0, 0, 0},  // directory missing
      {"gdk-pixbuf/bug776040.ico", 0, 0, 0, 0, 0},   // offset 0x7FFFFFFF
      {"gdk-pixbuf/bug779012.ico", 0, 0, 0, 0, 0},
      {"gdk-pixbuf/crash.ico", 0, 0, 0, 0, 0},
      {"gdk-pixbuf/bug778204.ico", 0, 0, 0, 0, 0},  // a cursor header
      {"image-rs/crash-981fee302fe0fc543ee48292cc3d6ace7e97e633.ico", 0, 0, 0, 0, 0},
      {"image-rs/oom-ff076e7064c13ec1f8e2c5bbbfb7a77a08db2361.ico", 0, 0, 0, 0, 0},
      {"pillow/deerstalker.cur", 0, 0, 0, 0, 0},
      {"pillow/no_cursors.cur", 0, 0, 0, 0, 0},
      {"gdk-pixbuf/CVE-2022-48622.ani", 0, 0, 0, 0, 0},
  };
  ScratchDir dir("malformed_corpus");
  int seen = 0;
  for (const auto& c : cases) {
    const std::string path = PlatformPath(corpus + "/" + c.file);
    if (!FileExists(path)) continue;
    ++seen;
    IconImageSetPtr set = ReadIconFile(path.c_str());
    if (c.images == 0) {
      EXPECT_EQ(set, nullptr) << c.file;
      continue;
    }
    ASSERT_NE(set, nullptr) << c.file;
    EXPECT_EQ(set->imageCount, c.images) << c.file;
    const IconImageEntry& first = set->images[0];
    EXPECT_EQ(first.width, c.width) << c.file;
    EXPECT_EQ(first.height, c.height) << c.file;
    EXPECT_EQ(first.bitDepth, c.bitDepth) << c.file;
    EXPECT_EQ(first.dataSize, c.dataSize) << c.file;
    const std::string out = dir.Path("out.ico");
    EXPECT_EQ(ExtractIcon(path, out), 1) << c.file;
    IconImageSetPtr copy = ReadIconFile(out.c_str());
    ASSERT_NE(copy, nullptr) << c.file;
    EXPECT_EQ(copy->imageCount, c.images) << c.file;
  }
  VANTORICO_REQUIRE_INPUT(seen > 0, "corpus has none of these files");
}

#ifndef _WIN32
// The platform's ANSI paths stop at 260 bytes; the portable build takes
// longer ones, and the set records the first 259 bytes.
TEST_F(MalformedFiles, ThreeHundredBytePaths) {
  ScratchDir dir("malformed_long");
  std::string deep = dir.Path("");
  while (deep.size() + 41 < 290) deep += std::string(40, 'd') + "/";
  std::error_code ec;
  std::filesystem::create_directories(deep, ec);
  const std::string source = deep + std::string(300 - 4 - deep.size(), 's') + ".ico";
  ASSERT_EQ(source.size(), 300u);
  ASSERT_TRUE(WriteWholeFile(source, MakeIconFile({MakeDib(16, 16, 4, 16)})));
  IconImageSetPtr set = ReadIconFile(source.c_str());
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(std::string(set->iconFilePath), source.substr(0, 259));
  const std::string out = deep + std::string(300 - 4 - deep.size(), 'o') + ".ico";
  EXPECT_EQ(ExtractIcon(source, out), 1);
  Bytes written;
  ASSERT_TRUE(ReadWholeFile(out, &written));
  EXPECT_EQ(written.size(), 318u);
}

// 0x81 0x5C is one GBK character whose second byte is a backslash.
TEST_F(MalformedFiles, GbkCharacterWithBackslashTrailByte) {
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!module.empty(), "test modules were not built");
  ScratchDir dir("malformed_gbk");
  const std::string folder = dir.Path("\x81\x5C");
  std::error_code ec;
  std::filesystem::create_directory(folder, ec);
  Bytes bytes;
  ASSERT_TRUE(ReadWholeFile(module, &bytes));
  ASSERT_TRUE(WriteWholeFile(folder + "/\x81\x5C.dll", bytes));
  ASSERT_TRUE(WriteWholeFile(folder + "/\x81\x5C.ico", MakeIconFile({MakeDib(16, 16, 4, 16)})));
  EXPECT_EQ(ExtractModule(folder + "/\x81\x5C.dll", folder + "/1.ico"), 7);
  EXPECT_EQ(ExtractIcon(folder + "/\x81\x5C.ico", folder + "/\x81\x5C-2.ico"), 1);
  Bytes one, two;
  ASSERT_TRUE(ReadWholeFile(folder + "/1.ico", &one));
  ASSERT_TRUE(ReadWholeFile(folder + "/\x81\x5C-2.ico", &two));
  EXPECT_EQ(LoadU16(one, 4), 1);
  EXPECT_EQ(two.size(), 318u);
  // A name ending in the character's two bytes, then "exe", is still a module name.
  EXPECT_EQ(SourceKindOfPath("C:\\\x81\x5C\\a.exe"), SourceKind::Module);
  EXPECT_EQ(SourceKindOfPath("C:\\a.\x81\x5C"), SourceKind::Unsupported);
}
#endif

}  // namespace
}  // namespace vantorico

// ExtractFileIcon as the tool calls it: slots in, an integer out, files or
// the clipboard as its effect.
#include <gtest/gtest.h>

#include <filesystem>

#include <string>

#include "base/heap.h"
#include "iconlib/platform/clipboard_writer.h"
#include "iconlib/command/extract_file_icon.h"
#include "iconlib/formats/icon_file_reader.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

int g_clipboard_calls = 0;
int32_t g_clipboard_height = 0;
uint32_t g_clipboard_size = 0;
bool RecordClipboard(ByteSpan dib, int32_t halved) {
  ++g_clipboard_calls;
  g_clipboard_height = halved;
  g_clipboard_size = static_cast<uint32_t>(dib.size());
  return true;
}

class ExtractCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = TestModulePath(false);
    g_clipboard_calls = 0;
    SetClipboardPlacerForTesting(&RecordClipboard);
    live_ = GetHeapCounters().liveBlocks;
  }
  void TearDown() override {
    SetClipboardPlacerForTesting(nullptr);
    ReleaseExtractCache();
    EXPECT_EQ(GetHeapCounters().liveBlocks, live_);
  }
  // Calls the command with four slots, as the runtime does; report_ says what
  // the call did.
  int32_t Call(ArgSlot source, ArgSlot mode, ArgSlot output, ArgSlot index) {
    ArgSlot args[4] = {source, mode, output, index};
    ArgSlot result = {0xDEAD, 0, kTypeInt};
    ExtractFileIcon(&result, 4, args, &report_);
    return static_cast<int32_t>(result.value);
  }
  int32_t Call(const std::string& src, int32_t mode, const std::string& out, int32_t index) {
    return Call(TextSlot(src.c_str()), IntSlot(mode), TextSlot(out.c_str()), IntSlot(index));
  }
  void RequireModule() { VANTORICO_REQUIRE_INPUT(!module_.empty(), "test modules were not built"); }
  // A copy of the test module under a name of our choosing.
  std::string ModuleAs(const ScratchDir& dir, const std::string& leaf) {
    Bytes b;
    EXPECT_TRUE(ReadWholeFile(module_, &b));
    EXPECT_TRUE(WriteWholeFile(dir.Path(leaf), b));
    return dir.Path(leaf);
  }
  std::string module_;
  uint64_t live_ = 0;
  ExtractReport report_;
};

TEST_F(ExtractCommand, IndexesDeliverGroupsInDirectoryOrder) {
  RequireModule();
  ScratchDir dir("extract_indexes");
  for (int32_t i = 1; i <= 7; ++i) {
    EXPECT_EQ(Call(module_, 0, dir.Path(std::to_string(i) + ".ico"), i), 7) << i;
  }
  EXPECT_EQ(Call(module_, 0, dir.Path("8.ico"), 8), 0);
  EXPECT_FALSE(FileExists(dir.Path("8.ico")));
  // 2 is MAINICON (two images), 5 is the empty group, 6 is 7 (same images as MAINICON).
  Bytes two, five, six, nine;
  ASSERT_TRUE(ReadWholeFile(dir.Path("2.ico"), &two));
  ASSERT_TRUE(ReadWholeFile(dir.Path("5.ico"), &five));
  ASSERT_TRUE(ReadWholeFile(dir.Path("6.ico"), &six));
  EXPECT_EQ(LoadU16(two, 4), 2);
  EXPECT_EQ(five, (Bytes{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(two, six);
  // Group 9 names a missing image: counted, nothing written.
  EXPECT_FALSE(FileExists(dir.Path("7.ico")));
}

TEST_F(ExtractCommand, IndexBelowOneIsOne) {
  RequireModule();
  ScratchDir dir("extract_index_low");
  EXPECT_EQ(Call(module_, 0, dir.Path("a.ico"), 0), 7);
  EXPECT_EQ(Call(module_, 0, dir.Path("b.ico"), -5), 7);
  EXPECT_EQ(Call(TextSlot(module_.c_str()), IntSlot(0), TextSlot(dir.Path("c.ico").c_str()),
                 OmittedSlot()),
            7);
  EXPECT_EQ(Call(module_, 0, dir.Path("d.ico"), 1), 7);
  Bytes a, b, c, d;
  ASSERT_TRUE(ReadWholeFile(dir.Path("a.ico"), &a));
  ASSERT_TRUE(ReadWholeFile(dir.Path("b.ico"), &b));
  ASSERT_TRUE(ReadWholeFile(dir.Path("c.ico"), &c));
  ASSERT_TRUE(ReadWholeFile(dir.Path("d.ico"), &d));
  EXPECT_EQ(a, d);
  EXPECT_EQ(b, d);
  EXPECT_EQ(c, d);
}

TEST_F(ExtractCommand, SourceKeysDecideTheKind) {
  RequireModule();
  ScratchDir dir("extract_keys");
  EXPECT_EQ(Call(ModuleAs(dir, "TOOL.EXE"), 0, dir.Path("1.ico"), 1), 7);
  EXPECT_EQ(Call(ModuleAs(dir, "tool.exe"), 0, dir.Path("2.ico"), 1), 7);
  EXPECT_EQ(Call(ModuleAs(dir, "lib.icl"), 0, dir.Path("3.ico"), 1), 7);
  EXPECT_EQ(Call(ModuleAs(dir, "tool.exe "), 0, dir.Path("4.ico"), 1), 0);
  EXPECT_EQ(Call(ModuleAs(dir, "tool.cpl"), 0, dir.Path("5.ico"), 1), 0);
  EXPECT_FALSE(FileExists(dir.Path("4.ico")));
  EXPECT_FALSE(FileExists(dir.Path("5.ico")));
}

TEST_F(ExtractCommand, OutputKeysDecideTheFormat) {
  RequireModule();
  ScratchDir dir("extract_outputs");
  EXPECT_EQ(Call(module_, 0, dir.Path("x.ICO"), 2), 7);
  EXPECT_EQ(Call(module_, 0, dir.Path("x.png"), 2), 7);
  EXPECT_EQ(Call(module_, 0, dir.Path("x.bmp"), 2), 7);
  EXPECT_EQ(Call(module_, 0, dir.Path("e.bmp"), 5), 7);  // empty group: no first image
  EXPECT_TRUE(FileExists(dir.Path("x.ICO")));
  EXPECT_FALSE(FileExists(dir.Path("x.png")));
  EXPECT_FALSE(FileExists(dir.Path("e.bmp")));
  Bytes bmp;
  ASSERT_TRUE(ReadWholeFile(dir.Path("x.bmp"), &bmp));
  EXPECT_EQ(bmp.size(), 54u + 64 + 8 * 16);  // 16x16 at 4 bits
  EXPECT_EQ(Call(module_, 0, dir.Path("no/dir/x.ico"), 2), 7);
}

TEST_F(ExtractCommand, EmptyOrOmittedOutputInFileModeDoesNothing) {
  RequireModule();
  EXPECT_EQ(Call(module_, 0, "", 1), 0);
  EXPECT_EQ(Call(TextSlot(module_.c_str()), IntSlot(0), OmittedSlot(), IntSlot(1)), 0);
  EXPECT_EQ(Call(TextSlot(module_.c_str()), IntSlot(0), TextSlot(nullptr), IntSlot(1)), 0);
  EXPECT_EQ(g_clipboard_calls, 0);
}

TEST_F(ExtractCommand, OtherModesGoToTheClipboard) {
  RequireModule();
  ScratchDir dir("extract_clip");
  const std::string out = dir.Path("never.ico");
  EXPECT_EQ(Call(module_, 1, out, 2), 7);
  EXPECT_EQ(Call(module_, 2, out, 2), 7);
  EXPECT_EQ(Call(module_, -1, out, 2), 7);
  EXPECT_EQ(Call(TextSlot(module_.c_str()), OmittedSlot(), OmittedSlot(), IntSlot(2)), 7);
  EXPECT_EQ(g_clipboard_calls, 4);
  EXPECT_EQ(g_clipboard_height, 16);
  EXPECT_EQ(g_clipboard_size, 296u);
  EXPECT_FALSE(FileExists(out));
  // An empty group and a PNG first image reach no clipboard.
  EXPECT_EQ(Call(module_, 1, "", 5), 7);
  EXPECT_EQ(g_clipboard_calls, 4);
}

TEST_F(ExtractCommand, IconFileSources) {
  ScratchDir dir("extract_icon_files");
  const Bytes file = MakeIconFile({MakeDib(32, 32, 4, 16), MakePng(256, 256)});
  ASSERT_TRUE(WriteWholeFile(dir.Path("in.ico"), file));
  ASSERT_TRUE(WriteWholeFile(dir.Path("myico"), file));
  EXPECT_EQ(Call(dir.Path("in.ico"), 0, dir.Path("1.ico"), 1), 1);
  EXPECT_EQ(Call(dir.Path("myico"), 0, dir.Path("2.ico"), 1), 1);
  EXPECT_EQ(Call(dir.Path("in.ico"), 0, dir.Path("3.ico"), 2), 0);
  EXPECT_EQ(Call(dir.Path("absent.ico"), 0, dir.Path("4.ico"), 1), 1);
  EXPECT_EQ(Call(dir.Path("absent.exe"), 0, dir.Path("5.ico"), 1), 0);
  ASSERT_TRUE(WriteWholeFile(dir.Path("icons"), file));
  EXPECT_EQ(Call(dir.Path("icons"), 0, dir.Path("6.ico"), 1), 0);
  Bytes one, two;
  ASSERT_TRUE(ReadWholeFile(dir.Path("1.ico"), &one));
  ASSERT_TRUE(ReadWholeFile(dir.Path("2.ico"), &two));
  EXPECT_EQ(one, two);
  Bytes want = file;
  PutU32(&want, 38 + 20, 0);  // the DIB's biSizeImage; the PNG stays as it is
  EXPECT_EQ(Bytes(one.begin() + 38, one.end()), Bytes(want.begin() + 38, want.end()));
  for (int i = 3; i <= 6; ++i) EXPECT_FALSE(FileExists(dir.Path(std::to_string(i) + ".ico")));
}

// The engine keeps the last source between calls; any change of its size or
// last write is seen, and the output is the same as without keeping it.
TEST_F(ExtractCommand, AChangedSourceIsReadAgain) {
  ScratchDir dir("extract_changed");
  const std::string in = dir.Path("in.ico");
  const Bytes first = MakeIconFile({MakeDib(16, 16, 4, 16)});
  Bytes second = first;
  second.back() ^= 0xFF;  // same size, other bytes
  for (bool cached : {true, false}) {
    SetExtractCacheEnabled(cached);
    ASSERT_TRUE(WriteWholeFile(in, first));
    ASSERT_EQ(Call(in, 0, dir.Path("a.ico"), 1), 1);
    ASSERT_TRUE(WriteWholeFile(in, second));
    // A last write that differs even where the clock is coarse.
    std::filesystem::last_write_time(
        in, std::filesystem::last_write_time(in) + std::chrono::seconds(10));
    ASSERT_EQ(Call(in, 0, dir.Path("b.ico"), 1), 1);
    Bytes a, b;
    ASSERT_TRUE(ReadWholeFile(dir.Path("a.ico"), &a));
    ASSERT_TRUE(ReadWholeFile(dir.Path("b.ico"), &b));
    EXPECT_EQ(a.back(), first.back()) << cached;
    EXPECT_EQ(b.back(), second.back()) << cached;
  }
  SetExtractCacheEnabled(true);
}

// What the engine keeps between calls is its own copy, never the file: the
// user may delete the source right after a click (on Windows that fails while
// a handle or a loader mapping holds it), and the next call sees it gone.
TEST_F(ExtractCommand, TheSourceIsFreeBetweenCalls) {
  RequireModule();
  ScratchDir dir("extract_source_free");
  const std::string in = ModuleAs(dir, "in.dll");
  ASSERT_GT(Call(in, 0, dir.Path("a.ico"), 1), 0);
  std::error_code error;
  ASSERT_TRUE(std::filesystem::remove(in, error)) << error.message();
  EXPECT_EQ(Call(in, 0, dir.Path("b.ico"), 1), 0);
  EXPECT_EQ(report_.outcome, ExtractOutcome::SourceUnreadable);
  EXPECT_FALSE(FileExists(dir.Path("b.ico")));
  ModuleAs(dir, "in.dll");
  ASSERT_GT(Call(in, 0, dir.Path("c.ico"), 1), 0);
  Bytes a, c;
  ASSERT_TRUE(ReadWholeFile(dir.Path("a.ico"), &a));
  ASSERT_TRUE(ReadWholeFile(dir.Path("c.ico"), &c));
  EXPECT_EQ(a, c);
}

// Each call reports what it did, for the window tool's message.
TEST_F(ExtractCommand, EachCallReportsItsOutcome) {
  RequireModule();
  ScratchDir dir("extract_reports");
  const struct {
    std::string source, output;
    int32_t index;
    ExtractOutcome outcome;
  } cases[] = {
      {module_, dir.Path("1.ico"), 1, ExtractOutcome::Written},
      {module_, dir.Path("9.ico"), 7, ExtractOutcome::GroupUnreadable},
      {module_, dir.Path("8.ico"), 8, ExtractOutcome::NothingAsked},
      {"", dir.Path("1.ico"), 1, ExtractOutcome::NoPath},
      {dir.Path("a.txt"), dir.Path("1.ico"), 1, ExtractOutcome::UnsupportedSource},
      {dir.Path("absent.dll"), dir.Path("1.ico"), 1, ExtractOutcome::SourceUnreadable},
      {module_, dir.Path("none") + "/1.ico", 1, ExtractOutcome::WriteFailed},
  };
  for (const auto& c : cases) {
    Call(c.source, 0, c.output, c.index);
    EXPECT_EQ(report_.outcome, c.outcome) << c.source << " -> " << c.output;
  }
  EXPECT_EQ(report_.error.kind, ErrorKind::PathNotFound);
  EXPECT_EQ(report_.outputPath, dir.Path("none") + "/1.ico");
  // An icon file given its own name as the output is never written.
  const Bytes file = MakeIconFile({MakeDib(16, 16, 4, 16)});
  ASSERT_TRUE(WriteWholeFile(dir.Path("1.ico"), file));
  EXPECT_EQ(Call(dir.Path("1.ico"), 0, dir.Path("1.ico"), 1), 1);
  EXPECT_EQ(report_.outcome, ExtractOutcome::SameAsSource);
  Bytes kept;
  ASSERT_TRUE(ReadWholeFile(dir.Path("1.ico"), &kept));
  EXPECT_EQ(kept, file);
}

TEST_F(ExtractCommand, TheToolsLoopWritesOneFilePerGroup) {
  RequireModule();
  ScratchDir dir("extract_loop");
  int written = 0;
  for (int32_t i = 1; i <= MaxIconGroups; ++i) {
    const std::string out = dir.Path(std::to_string(i) + ".ico");
    const int32_t r = Call(module_, ExtractToFile, out, i);
    EXPECT_EQ(r, i <= 7 ? 7 : 0);
    written += FileExists(out);
  }
  EXPECT_EQ(written, 6);  // group 9 cannot be read
}

TEST(ClipboardWriter, ChecksTheImageBeforeTouchingTheClipboard) {
  g_clipboard_calls = 0;
  SetClipboardPlacerForTesting(&RecordClipboard);
  Bytes cut = MakeDib(32, 32, 4, 16);
  cut.resize(150);
  IconImageSetPtr set = MakeSet({MakePng(256, 256), cut, {}, MakeDib(32, 32, 4, 16)});
  EXPECT_FALSE(CopyImageToClipboard(nullptr));
  for (uint32_t i = 0; i < 3; ++i) EXPECT_FALSE(CopyImageToClipboard(&set->images[i])) << i;
  EXPECT_EQ(g_clipboard_calls, 0);
  EXPECT_TRUE(CopyImageToClipboard(&set->images[3]));
  EXPECT_EQ(g_clipboard_calls, 1);
  EXPECT_EQ(g_clipboard_height, 32);
  EXPECT_EQ(g_clipboard_size, set->images[3].dataSize);
  SetClipboardPlacerForTesting(nullptr);
}

}  // namespace
}  // namespace vantorico

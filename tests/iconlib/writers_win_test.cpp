// The file and clipboard writers against the real platform under Wine.
#include <gtest/gtest.h>

#include <cstring>

#include "base/utf16.h"
#include "base/win_handles.h"
#include "iconlib/platform/clipboard_writer.h"
#include "iconlib/command/extract_file_icon.h"
#include "iconlib/platform/file_io.h"
#include "iconlib/formats/icon_file_reader.h"
#include "iconlib/formats/icon_file_writer.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

UniqueFile HoldExclusively(const std::string& path) {
  return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(WinFiles, FilesHeldByAnotherHandleCannotBeReadOrWritten) {
  ScratchDir dir("win_files_held");
  ASSERT_TRUE(WriteWholeFile(dir.Path("in.ico"), MakeIconFile({MakeDib(16, 16, 4, 16)})));
  IconImageSetPtr set = ReadIconFile(dir.Path("in.ico").c_str());
  ASSERT_NE(set, nullptr);
  {
    UniqueFile held = HoldExclusively(dir.Path("in.ico"));
    ASSERT_TRUE(held);
    EXPECT_EQ(ReadIconFile(dir.Path("in.ico").c_str()), nullptr);
    EXPECT_FALSE(WriteIconFile(set, dir.Path("in.ico").c_str()));
  }
  EXPECT_TRUE(WriteIconFile(set, dir.Path("out.ico").c_str()));
  Bytes out;
  ASSERT_TRUE(ReadWholeFile(dir.Path("out.ico"), &out));
  EXPECT_EQ(out.size(), 318u);
}

// The window tool's pass onto a disk it cannot write: a real 64 KiB tmpfs that
// Wine shows as a folder of drive Z:, full or read-only. The pass says why, the
// file already there keeps its bytes and no temporary file is left.
TEST(WinFiles, AnUnwritableDiskKeepsTheOldOutputAndSaysSo) {
  const struct {
    const char* name;
    bool readOnly;
    ErrorKind kind;
  } cases[] = {{"win_full_disk", false, ErrorKind::DiskFull},
               {"win_read_only", true, ErrorKind::AccessDenied}};
  ScratchDir dir("win_unwritable_source");
  const std::string source = dir.Path("large.ico");
  // 128 x 128 at 32 bits: 66 KiB of pixels, more than the disk holds.
  ASSERT_TRUE(WriteWholeFile(source, MakeIconFile({MakeDib(128, 128, 32, 0)})));
  for (const auto& c : cases) {
    SmallTmpfs disk(c.name, 64 * 1024);
    VANTORICO_REQUIRE_INPUT(disk.mounted(), "no small tmpfs here (it takes Wine and root)");
    const std::string output = disk.path() + "\\1.ico";
    const Bytes old = {'o', 'l', 'd'};
    ASSERT_TRUE(WriteWholeFile(output, old));
    if (c.readOnly) {
      ASSERT_TRUE(disk.MakeReadOnly());
    }
    ArgSlot args[4] = {TextSlot(source.c_str()), IntSlot(ExtractToFile), TextSlot(output.c_str()),
                       IntSlot(1)};
    ArgSlot result{};
    ExtractReport report;
    ExtractFileIcon(&result, 4, args, &report);
    ReleaseExtractCache();
    EXPECT_EQ(report.outcome, ExtractOutcome::WriteFailed) << c.name;
    EXPECT_EQ(report.error.kind, c.kind) << c.name << ": " << report.error.code;
    Bytes now;
    ASSERT_TRUE(ReadWholeFile(output, &now)) << c.name;
    EXPECT_EQ(now, old) << c.name;
    EXPECT_EQ(ListFolder(disk.path()), std::vector<std::string>{"1.ico"}) << c.name;
  }
}

// The window tool's writer meets a folder at the output name: refused with
// its own status, the folder as it was, no temporary file; a hidden file
// that is replaced stays hidden. The no-replace write (MoveFileEx without
// MOVEFILE_REPLACE_EXISTING) says Exists and keeps what is there.
TEST(WinFiles, OnlyAFileIsReplacedAndNoReplaceWritesKeepWhatIsThere) {
  ScratchDir dir("win_not_regular");
  const std::string folder = dir.Path("1.ico");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const Bytes icon(300, 'i');
  const ByteSpan bytes(icon.data(), icon.size());
  const WriteOutcome w = ReplaceFileWhole(folder.c_str(), bytes);
  EXPECT_EQ(w.status, WriteOutcome::NotRegularFile);
  EXPECT_EQ(CreateFileWhole(folder.c_str(), bytes).status, WriteOutcome::NotRegularFile);
  EXPECT_NE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  // Through the slot command, as the window tool calls it.
  const std::string source = dir.Path("in.ico");
  ASSERT_TRUE(WriteWholeFile(source, MakeIconFile({MakeDib(16, 16, 4, 16)})));
  ArgSlot args[4] = {TextSlot(source.c_str()), IntSlot(ExtractToFile), TextSlot(folder.c_str()),
                     IntSlot(1)};
  ArgSlot result{};
  ExtractReport report;
  ExtractFileIcon(&result, 4, args, &report);
  EXPECT_EQ(report.outcome, ExtractOutcome::WriteFailed);
  ReleaseExtractCache();
  EXPECT_EQ(ListFolder(dir.Path("")), (std::vector<std::string>{"1.ico", "in.ico"}));

  const std::string file = dir.Path("2.ico");
  const Bytes old = {'o', 'l', 'd'};
  ASSERT_TRUE(WriteWholeFile(file, old));
  EXPECT_EQ(CreateFileWhole(file.c_str(), bytes).status, WriteOutcome::Exists);
  Bytes now;
  ASSERT_TRUE(ReadWholeFile(file, &now));
  EXPECT_EQ(now, old);
  EXPECT_TRUE(CreateFileWhole(dir.Path("3.ico").c_str(), bytes));
  ASSERT_TRUE(ReadWholeFile(dir.Path("3.ico"), &now));
  EXPECT_EQ(now, icon);
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(ReplaceFileWhole(file.c_str(), bytes));
  EXPECT_NE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  ASSERT_TRUE(ReadWholeFile(file, &now));
  EXPECT_EQ(now, icon);
  EXPECT_EQ(ListFolder(dir.Path("")).size(), 4u);  // no temporary file stays
}

// The window tool's paths are in its ANSI code page (GBK here, with a second
// byte of 0x5C in "乗"): ExtractFileIcon reads the kinds from them and names
// the files to the engine once, so the files are the ones the wide names give,
// and a failed write is reported with the tool's own spelling.
TEST(WinFiles, TheToolsCodePagePathsReachTheEngineConvertedOnce) {
  VANTORICO_REQUIRE_INPUT(GetACP() == 936, "the Wine prefix has ANSI code page 936");
  ScratchDir dir("win_code_page");
  const std::string folder_gbk = dir.Path("\xCD\xBC\xB1\xEA\x81\x5C");  // 图标乗
  const std::string folder_utf8 = dir.Path("\xE5\x9B\xBE\xE6\xA0\x87\xE4\xB9\x97");
  ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder_utf8).c_str(), nullptr));
  const Bytes icon = MakeIconFile({MakeDib(16, 16, 4, 16)});
  ASSERT_TRUE(
      CreateFileWhole((folder_utf8 + "\\in.ico").c_str(), ByteSpan(icon.data(), icon.size())));
  const struct {
    std::string output;   // as the tool spells it
    std::string written;  // the file that must then exist, in UTF-8; empty: none
    ExtractOutcome outcome;
  } cases[] = {
      {folder_gbk + "\\\xB1\xED.ico", folder_utf8 + "\\\xE8\xA1\xA8.ico",
       ExtractOutcome::Written},                                            // 表
      {folder_gbk + "\\\x81\x5C\\1.ico", "", ExtractOutcome::WriteFailed},  // no folder 乗
  };
  for (const auto& c : cases) {
    const std::string source = folder_gbk + "\\in.ico";
    ArgSlot args[4] = {TextSlot(source.c_str()), IntSlot(ExtractToFile), TextSlot(c.output.c_str()),
                       IntSlot(1)};
    ArgSlot result{};
    ExtractReport report;
    ExtractFileIcon(&result, 4, args, &report);
    ReleaseExtractCache();
    EXPECT_EQ(result.value, 1u) << c.output;
    EXPECT_EQ(report.outcome, c.outcome) << c.output;
    if (c.written.empty()) {
      EXPECT_EQ(report.outputPath, c.output);
      EXPECT_EQ(report.error.kind, ErrorKind::PathNotFound);
    } else {
      EXPECT_NE(GetFileAttributesW(Utf8ToWide(c.written).c_str()), INVALID_FILE_ATTRIBUTES)
          << c.written;
    }
  }
}

Bytes ClipboardDib() {
  Bytes bytes;
  ClipboardSession clipboard(nullptr);
  if (!clipboard.is_open()) return bytes;
  HANDLE h = GetClipboardData(CF_DIB);
  if (!h) return bytes;
  GlobalLockGuard lock(h);
  const auto* p = static_cast<const uint8_t*>(lock.get());
  if (p) bytes.assign(p, p + GlobalSize(h));
  return bytes;
}

void PutText(const char* text) {
  ClipboardSession clipboard(nullptr);
  ASSERT_TRUE(clipboard.is_open());
  EmptyClipboard();
  const size_t n = std::strlen(text) + 1;
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, n));
  {
    GlobalLockGuard lock(block.get());
    std::memcpy(lock.get(), text, n);
  }
  if (SetClipboardData(CF_TEXT, block.get())) block.release();
}

bool HasText() {
  ClipboardSession clipboard(nullptr);
  return clipboard.is_open() && IsClipboardFormatAvailable(CF_TEXT);
}

TEST(WinClipboard, PutsTheWholeImageWithHalvedHeight) {
  const Bytes img = MakeDib(32, 32, 4, 16);
  IconImageSetPtr set = MakeSet({img});
  ASSERT_TRUE(CopyImageToClipboard(&set->images[0]));
  const Bytes got = ClipboardDib();
  ASSERT_GE(got.size(), img.size());
  Bytes want = img;
  PutU32(&want, 8, 32);
  EXPECT_EQ(Bytes(got.begin(), got.begin() + img.size()), want);
  EXPECT_EQ(set->images[0].data[8], 64);
}

TEST(WinClipboard, RefusedImagesLeaveTheClipboardAlone) {
  Bytes cut = MakeDib(32, 32, 4, 16);
  cut.resize(120);
  IconImageSetPtr set = MakeSet({MakePng(256, 256), cut, {}});
  PutText("keep me");
  ASSERT_TRUE(HasText());
  for (uint32_t i = 0; i < set->imageCount; ++i) {
    EXPECT_FALSE(CopyImageToClipboard(&set->images[i])) << i;
    EXPECT_TRUE(HasText()) << i;
  }
}

}  // namespace
}  // namespace vantorico

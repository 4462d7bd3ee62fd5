// A source held by another process's handle without sharing, under the
// platform's own file and module functions.
#include <gtest/gtest.h>

#include "base/heap.h"
#include "base/win_handles.h"
#include "iconlib/extract_file_icon.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

UniqueFile HoldWithoutSharing(const std::string& path) {
  return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

int32_t Extract(SourceKind kind, const std::string& source, const std::string& out) {
  return ExtractIconGroup(kind, source.c_str(), ExtractToFile, OutputKind::IconFile, out.c_str(),
                          1);
}

TEST(MalformedWin, LockedSourceGivesNothing) {
  const std::string module = TestModulePath(false);
  if (module.empty()) GTEST_SKIP() << "test modules were not built";
  ScratchDir dir("malformed_locked");
  Bytes bytes;
  ASSERT_TRUE(ReadWholeFile(module, &bytes));
  ASSERT_TRUE(WriteWholeFile(dir.Path("held.dll"), bytes));
  ASSERT_TRUE(WriteWholeFile(dir.Path("held.ico"), MakeIconFile({MakeDib(16, 16, 4, 16)})));
  const uint64_t live = GetHeapCounters().liveBlocks;
  {
    UniqueFile dll = HoldWithoutSharing(dir.Path("held.dll"));
    UniqueFile ico = HoldWithoutSharing(dir.Path("held.ico"));
    ASSERT_TRUE(dll);
    ASSERT_TRUE(ico);
    EXPECT_EQ(Extract(SourceKind::Module, dir.Path("held.dll"), dir.Path("1.ico")), 0);
    EXPECT_EQ(Extract(SourceKind::IconFile, dir.Path("held.ico"), dir.Path("2.ico")), 1);
    EXPECT_FALSE(FileExists(dir.Path("1.ico")));
    EXPECT_FALSE(FileExists(dir.Path("2.ico")));
  }
  // Released, the same calls write both files.
  EXPECT_EQ(Extract(SourceKind::Module, dir.Path("held.dll"), dir.Path("1.ico")), 7);
  EXPECT_EQ(Extract(SourceKind::IconFile, dir.Path("held.ico"), dir.Path("2.ico")), 1);
  EXPECT_TRUE(FileExists(dir.Path("1.ico")));
  EXPECT_TRUE(FileExists(dir.Path("2.ico")));
  ReleaseExtractCache();
  EXPECT_EQ(GetHeapCounters().liveBlocks, live);
}

TEST(MalformedWin, LockedOutputIsLeftAsItWas) {
  ScratchDir dir("malformed_locked_out");
  ASSERT_TRUE(WriteWholeFile(dir.Path("in.ico"), MakeIconFile({MakeDib(16, 16, 4, 16)})));
  ASSERT_TRUE(WriteWholeFile(dir.Path("1.ico"), Bytes{1, 2, 3}));
  {
    UniqueFile out = HoldWithoutSharing(dir.Path("1.ico"));
    ASSERT_TRUE(out);
    EXPECT_EQ(Extract(SourceKind::IconFile, dir.Path("in.ico"), dir.Path("1.ico")), 1);
  }
  Bytes left;
  ASSERT_TRUE(ReadWholeFile(dir.Path("1.ico"), &left));
  EXPECT_EQ(left, (Bytes{1, 2, 3}));
}

}  // namespace
}  // namespace vantorico

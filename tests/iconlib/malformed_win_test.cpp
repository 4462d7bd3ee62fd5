// A source held by another process's handle without sharing, under the
// platform's own file and module functions.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/heap.h"
#include "base/win_handles.h"
#include "iconlib/command/extract_file_icon.h"
#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/module_source.h"
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
  VANTORICO_REQUIRE_INPUT(!module.empty(), "test modules were not built");
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

// Each group of a module as bytes, "" for an unreadable one.
std::vector<Bytes> GroupBytes(ModuleSource& module) {
  std::vector<Bytes> groups;
  const uint32_t count = module.CountNames(kResourceTypeGroupIcon);
  for (uint32_t i = 0; i < count && i < 64; ++i) {
    GroupFailure why = GroupFailure::None;
    IconImageSetPtr set = ReadIconGroupAt(module, i, "m", kMaxGroupImageBytes, &why);
    Bytes all;
    for (uint32_t k = 0; set && k < set->imageCount; ++k) {
      all.insert(all.end(), set->images[k].data, set->images[k].data + set->images[k].dataSize);
    }
    groups.push_back(set ? all : Bytes{});
  }
  return groups;
}

// The loader's pointers come from the file's own directory: a file cut
// short, or one that lies, must give unreadable groups, never a fault. Wine's
// own program files cut at 64 lengths each read as the portable reader reads
// them; every fuzz corpus and regression file goes through the command.
TEST(MalformedWin, ThePlatformPathReadsHostileFilesWithoutFaulting) {
  ScratchDir dir("malformed_platform");
  const std::string out = dir.Path("out.ico"), copy = dir.Path("case.dll");
  int compared = 0, replayed = 0;
  const std::string wine = WinePeDir(false);
  for (const char* leaf : {"notepad.exe", "winefile.exe", "regedit.exe"}) {
    Bytes whole;
    if (wine.empty() || !ReadWholeFile(wine + "/" + leaf, &whole)) continue;
    for (int cut = 1; cut <= 64; ++cut) {
      const Bytes part(whole.begin(), whole.begin() + whole.size() * cut / 64);
      ASSERT_TRUE(WriteWholeFile(copy, part));
      std::unique_ptr<ModuleSource> platform = OpenModuleSource(copy.c_str());
      std::unique_ptr<ModuleSource> portable = OpenPortableModule(copy.c_str());
      if (platform && portable) {
        EXPECT_EQ(GroupBytes(*platform), GroupBytes(*portable)) << leaf << " cut " << cut;
        ++compared;
      }
      platform.reset();
      for (int32_t i = 1; i <= 8; ++i) {
        (void)ExtractIconGroup(SourceKind::Module, copy.c_str(), ExtractToFile,
                               OutputKind::IconFile, out.c_str(), i);
      }
    }
  }
  for (const std::string folder : {"/fuzz/corpus/module_reader", "/tests/data/regressions"}) {
    std::error_code ec;
    for (const auto& item : std::filesystem::directory_iterator(
             PlatformPath(std::string(VANTORICO_SOURCE_DIR) + folder), ec)) {
      Bytes bytes;
      if (!ReadWholeFile(item.path().string(), &bytes)) continue;
      ASSERT_TRUE(WriteWholeFile(copy, bytes));
      for (int32_t i = 1; i <= 8; ++i) {
        (void)ExtractIconGroup(SourceKind::Module, copy.c_str(), ExtractToFile,
                               OutputKind::IconFile, out.c_str(), i);
      }
      ++replayed;
    }
  }
  ReleaseExtractCache();
  EXPECT_GT(replayed, 90);
  if (!wine.empty()) {
    EXPECT_GE(compared, 3);  // at least the three whole files
  }
}

}  // namespace
}  // namespace vantorico

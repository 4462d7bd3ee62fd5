// The portable module reader and the group reader over it: the windres-built
// test modules, hand-broken copies of them, Wine's files and the corpus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/heap.h"
#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/module_source.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

std::string NameText(const ResourceName& n) {
  return n.isText ? "'" + n.text + "'" : std::to_string(n.id);
}

std::vector<std::string> GroupNames(ModuleSource& m) {
  std::vector<std::string> names;
  m.EnumerateNames(kResourceTypeGroupIcon, [&](const ResourceName& n) {
    names.push_back(NameText(n));
    return true;
  });
  return names;
}

ResourceName Id(uint16_t id) {
  ResourceName n;
  n.id = id;
  return n;
}
ResourceName Text(const char* t) {
  ResourceName n;
  n.isText = true;
  n.text = t;
  return n;
}

class TestModule : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    path_ = TestModulePath(GetParam());
    VANTORICO_REQUIRE_INPUT(!path_.empty(), "test modules were not built");
    ASSERT_TRUE(ReadWholeFile(path_, &bytes_));
  }
  std::unique_ptr<ModuleSource> FromBytes(const Bytes& b) {
    return OpenPortableModuleBytes(ByteSpan(b.data(), b.size()));
  }
  std::string path_;
  Bytes bytes_;
};

TEST_P(TestModule, TextNamesFirstThenIdsAscending) {
  auto m = OpenPortableModule(path_.c_str());
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(GroupNames(*m),
            (std::vector<std::string>{"'APPLE'", "'MAINICON'", "1", "3", "5", "7", "9"}));
}

TEST_P(TestModule, LocateCountsAndNamesTheIndexedGroup) {
  auto m = OpenPortableModule(path_.c_str());
  ASSERT_NE(m, nullptr);
  IconGroupLocation at = LocateIconGroup(*m, 2);
  EXPECT_EQ(at.groupCount, 7);
  ASSERT_TRUE(at.found);
  EXPECT_EQ(NameText(at.name), "'MAINICON'");
  at = LocateIconGroup(*m, 7);
  EXPECT_TRUE(at.found);
  EXPECT_EQ(NameText(at.name), "9");
  at = LocateIconGroup(*m, 8);
  EXPECT_EQ(at.groupCount, 7);
  EXPECT_FALSE(at.found);
}

TEST_P(TestModule, GroupsAreFoundAgainByTextAndByNumber) {
  const uint64_t live = GetHeapCounters().liveBlocks;
  const ResourceName main_name = Text("MainIcon");
  IconImageSetPtr main = ReadIconGroup(path_.c_str(), &main_name);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->imageCount, 2u);
  EXPECT_EQ(std::string(main->modulePath), path_);
  EXPECT_STREQ(main->iconFilePath, "");
  EXPECT_EQ(main->images[0].width, 16);
  EXPECT_EQ(main->images[0].dataSize, 296u);
  EXPECT_EQ(main->images[1].width, 32);
  EXPECT_EQ(main->images[1].bitDepth, 32u);
  const ResourceName seven = Id(7);
  IconImageSetPtr same = ReadIconGroup(path_.c_str(), &seven);
  ASSERT_NE(same, nullptr);
  ASSERT_EQ(same->imageCount, 2u);
  for (uint32_t i = 0; i < 2; ++i) {
    EXPECT_EQ(Bytes(same->images[i].data, same->images[i].data + same->images[i].dataSize),
              Bytes(main->images[i].data, main->images[i].data + main->images[i].dataSize));
  }
  main.reset();
  same.reset();
  EXPECT_EQ(GetHeapCounters().liveBlocks, live);
}

TEST_P(TestModule, EmptyMissingAndPngGroups) {
  const ResourceName empty = Id(5), missing = Id(9), png = Id(3), absent = Id(4);
  IconImageSetPtr set = ReadIconGroup(path_.c_str(), &empty);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->imageCount, 0u);
  EXPECT_EQ(ReadIconGroup(path_.c_str(), &missing), nullptr);
  EXPECT_EQ(ReadIconGroup(path_.c_str(), &absent), nullptr);
  EXPECT_EQ(ReadIconGroup(path_.c_str(), nullptr), nullptr);
  set = ReadIconGroup(path_.c_str(), &png);
  ASSERT_NE(set, nullptr);
  ASSERT_EQ(set->imageCount, 2u);
  EXPECT_TRUE(IsPngEntry(set->images[1]));
  EXPECT_EQ(set->images[1].width, 256);
  EXPECT_EQ(set->images[1].bitDepth, 32u);
}

TEST_P(TestModule, ShortGroupDirectoryIsUnreadable) {
  // Raise MAINICON's image count past its 34 bytes: 6 + 14 x 3 = 48.
  auto m = FromBytes(bytes_);
  ByteSpan group;
  ASSERT_TRUE(m->FindResourceBytes(Text("MAINICON"), kResourceTypeGroupIcon, &group));
  const size_t at = static_cast<size_t>(group.data() - bytes_.data());
  Bytes broken = bytes_;
  PutU16(&broken, at + 4, 3);
  auto b = FromBytes(broken);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(ReadIconGroupFrom(*b, Text("MAINICON"), "x"), nullptr);
  PutU16(&broken, at + 4, 2);
  IconImageSetPtr set = ReadIconGroupFrom(*b, Text("MAINICON"), "x");
  EXPECT_NE(set, nullptr);
}

TEST_P(TestModule, EveryTruncationIsHandled) {
  // Cut the file at many points; nothing may read past the cut.
  for (size_t n = 0; n < bytes_.size(); n += 97) {
    Bytes cut(bytes_.begin(), bytes_.begin() + n);
    auto m = FromBytes(cut);
    if (!m) continue;
    const IconGroupLocation loc = LocateIconGroup(*m, 2);
    if (loc.found) (void)ReadIconGroupFrom(*m, loc.name, "x");
  }
}

TEST_P(TestModule, CorruptedBytesNeverCrash) {
  uint32_t state = 12345;
  for (int round = 0; round < 200; ++round) {
    Bytes b = bytes_;
    for (int k = 0; k < 8; ++k) {
      state = state * 1103515245 + 12345;
      b[(state >> 8) % b.size()] = static_cast<uint8_t>(state >> 24);
    }
    auto m = FromBytes(b);
    if (!m) continue;
    const IconGroupLocation loc = LocateIconGroup(*m, 1 + round % 7);
    if (loc.found) (void)ReadIconGroupFrom(*m, loc.name, "x");
  }
}

TEST_P(TestModule, NotAProgramFileCannotBeOpened) {
  ScratchDir dir("module_not_program");
  ASSERT_TRUE(WriteWholeFile(dir.Path("x.dll"), MakeIconFile({MakeDib(16, 16, 4, 16)})));
  EXPECT_EQ(OpenPortableModule(dir.Path("x.dll").c_str()), nullptr);
  EXPECT_EQ(OpenPortableModule(dir.Path("absent.dll").c_str()), nullptr);
  EXPECT_EQ(OpenModuleSource(dir.Path("x.dll").c_str()), nullptr);
  Bytes mz_only(bytes_.begin(), bytes_.begin() + 0x40);
  EXPECT_EQ(FromBytes(mz_only), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Pe32AndPe32Plus, TestModule, ::testing::Values(false, true));

TEST(ModuleNames, TextComparesWithoutCaseOfAsciiLetters) {
  EXPECT_TRUE(ResourceNamesEqual(Text("MainIcon"), Text("MAINICON")));
  EXPECT_FALSE(ResourceNamesEqual(Text("MAINICON"), Text("MAINICO")));
  EXPECT_FALSE(ResourceNamesEqual(Text("1"), Id(1)));
  EXPECT_TRUE(ResourceNamesEqual(Id(300), Id(300)));
}

// Wine's own program files: real PE32 and PE32+ resource directories.
class WineModule : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    dir_ = WinePeDir(GetParam());
    VANTORICO_REQUIRE_INPUT(!dir_.empty(), "Wine's files are not installed");
  }
  std::string File(const char* leaf) const { return PlatformPath(dir_ + "/" + leaf); }
  std::string dir_;
};

TEST_P(WineModule, Shell32HasItsGroupsAndPngImages) {
  auto m = OpenPortableModule(File("shell32.dll").c_str());
  ASSERT_NE(m, nullptr);
  const std::vector<std::string> names = GroupNames(*m);
  size_t texts = 0;
  for (const std::string& n : names) texts += n[0] == '\'';
  if (!GetParam()) {
    EXPECT_EQ(names.size(), 184u);
    EXPECT_EQ(texts, 2u);
  }
  EXPECT_GT(names.size(), 100u);
  size_t png = 0;
  for (int i = 1; i <= static_cast<int>(names.size()); ++i) {
    const IconGroupLocation loc = LocateIconGroup(*m, i);
    ASSERT_TRUE(loc.found);
    IconImageSetPtr set = ReadIconGroupFrom(*m, loc.name, "shell32.dll");
    ASSERT_NE(set, nullptr) << NameText(loc.name);
    for (uint32_t k = 0; k < set->imageCount; ++k) {
      png += IsPngEntry(set->images[k]);
      EXPECT_TRUE(IsPngEntry(set->images[k]) || IsDescribedDib(set->images[k]));
    }
  }
  EXPECT_GT(png, 0u);
}

TEST_P(WineModule, Comdlg32HasTenTextNamedGroups) {
  auto m = OpenPortableModule(File("comdlg32.dll").c_str());
  ASSERT_NE(m, nullptr);
  const std::vector<std::string> names = GroupNames(*m);
  size_t texts = 0;
  for (const std::string& n : names) texts += n[0] == '\'';
  EXPECT_EQ(texts, 10u);
  for (size_t i = 0; i < names.size(); ++i) {
    const IconGroupLocation loc = LocateIconGroup(*m, static_cast<int32_t>(i + 1));
    IconImageSetPtr set = ReadIconGroupFrom(*m, loc.name, "comdlg32.dll");
    EXPECT_NE(set, nullptr) << names[i];
  }
}

INSTANTIATE_TEST_SUITE_P(I386AndX8664, WineModule, ::testing::Values(false, true));

// 16-bit files of a Wine prefix, where one has been made.
TEST(NeModule, WinePrefixDriversHaveIconGroups) {
  const std::string display = WineNeFile("display.drv");
  VANTORICO_REQUIRE_INPUT(!display.empty(), "no 16-bit Wine driver (display.drv)");
  Bytes bytes;
  ASSERT_TRUE(ReadWholeFile(display, &bytes));
  ASSERT_TRUE(IsNeModuleImage(ByteSpan(bytes.data(), bytes.size()))) << display;
  auto m = OpenPortableModule(display.c_str());
  ASSERT_NE(m, nullptr);
  const IconGroupLocation first = LocateIconGroup(*m, 1);
  ASSERT_GT(first.groupCount, 0);
  bool saw_png = false;
  for (int32_t i = 1; i <= first.groupCount; ++i) {
    const IconGroupLocation loc = LocateIconGroup(*m, i);
    IconImageSetPtr set = ReadIconGroupFrom(*m, loc.name, "display.drv");
    ASSERT_NE(set, nullptr);
    for (uint32_t k = 0; k < set->imageCount; ++k) saw_png |= IsPngEntry(set->images[k]);
  }
  EXPECT_TRUE(saw_png);
  // The platform path takes NE files the loader refuses to the same reader.
  auto platform = OpenModuleSource(display.c_str());
  ASSERT_NE(platform, nullptr);
  EXPECT_EQ(LocateIconGroup(*platform, 1).groupCount, first.groupCount);
}

// Real-world odd files: each must give the exact outcome noted here.
TEST(CorpusModules, OddFilesGiveTheirKnownResults) {
  const std::string corpus = CorpusDir();
  VANTORICO_REQUIRE_INPUT(!corpus.empty(), "no corpus");
  const struct {
    const char* file;
    bool opens;
    int32_t groups;
  } cases[] = {
      {"corkami/resource_icon.exe", true, 1},
      {"corkami/resourceloop.exe", true, 0},
      {"corkami/namedresource.exe", true, 0},
      {"corkami/normal64.exe", true, 0},
      {"corkami/ne.bin", true, 0},
      {"imhex-patterns/ne.hexpat.exe", true, 0},
      {"penet/pidgin.exe", true, 1},
      {"penet/pidgin_without_groupIconDirectory.exe", true, 0},
      {"innosetup/MyProg.exe", true, 1},
      {"pillow/hopper.ico", false, 0},
  };
  for (const auto& c : cases) {
    const std::string path = PlatformPath(corpus + "/" + c.file);
    if (!FileExists(path)) continue;
    auto m = OpenPortableModule(path.c_str());
    EXPECT_EQ(m != nullptr, c.opens) << c.file;
    if (!m) continue;
    EXPECT_EQ(LocateIconGroup(*m, 1).groupCount, c.groups) << c.file;
  }
}

TEST(CorpusModules, ManipulatedGroupsReadOrFailCleanly) {
  const std::string corpus = CorpusDir();
  VANTORICO_REQUIRE_INPUT(!corpus.empty(), "no corpus");
  const uint64_t live = GetHeapCounters().liveBlocks;
  {
    const std::string manip =
        PlatformPath(corpus + "/penet/pidgin_manipulated_GroupIconDirectory.exe");
    auto m = OpenPortableModule(manip.c_str());
    ASSERT_NE(m, nullptr);
    const int32_t n = LocateIconGroup(*m, 1).groupCount;
    EXPECT_EQ(n, 5);
    int readable = 0;
    for (int32_t i = 1; i <= n; ++i) {
      IconImageSetPtr set = ReadIconGroupFrom(*m, LocateIconGroup(*m, i).name, "x");
      readable += set != nullptr;
    }
    // Only the intact group and the one padded with garbage read; the random
    // count, the directory cut short of its count and the 4-byte group do not.
    EXPECT_EQ(readable, 2);
    const std::string missing =
        PlatformPath(corpus + "/penet/pidgin_with_iconGroupEntry_without_icon.exe");
    auto mm = OpenPortableModule(missing.c_str());
    ASSERT_NE(mm, nullptr);
    EXPECT_EQ(ReadIconGroupFrom(*mm, LocateIconGroup(*mm, 1).name, "x"), nullptr);
  }  // the modules' file views may come from the counted heap
  EXPECT_EQ(GetHeapCounters().liveBlocks, live);
}

}  // namespace
}  // namespace vantorico

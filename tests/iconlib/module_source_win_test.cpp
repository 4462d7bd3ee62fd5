// The platform module path under Wine, and the portable reader against it on
// every PE file Wine installs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/formats/module_source.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

std::vector<ResourceName> Names(ModuleSource& m) {
  std::vector<ResourceName> names;
  m.EnumerateNames(kResourceTypeGroupIcon, [&](const ResourceName& n) {
    names.push_back(n);
    return true;
  });
  return names;
}

std::string Describe(const ResourceName& n) {
  return n.isText ? n.text : std::to_string(n.id);
}

TEST(PlatformModule, OpensTheTestModuleAsData) {
  const std::string path = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!path.empty(), "test modules were not built");
  auto m = OpenModuleSource(path.c_str());
  ASSERT_NE(m, nullptr);
  std::vector<std::string> got;
  for (const ResourceName& n : Names(*m)) got.push_back(Describe(n));
  EXPECT_EQ(got, (std::vector<std::string>{"APPLE", "MAINICON", "1", "3", "5", "7", "9"}));
  const IconGroupLocation at = LocateIconGroup(*m, 2);
  EXPECT_EQ(at.groupCount, 7);
  IconImageSetPtr set = ReadIconGroup(path.c_str(), &at.name);
  ASSERT_NE(set, nullptr);
  EXPECT_EQ(set->imageCount, 2u);
}

TEST(PlatformModule, RefusesFilesThatAreNotPrograms) {
  ScratchDir dir("platform_refuse");
  ASSERT_TRUE(WriteWholeFile(dir.Path("x.dll"), MakeIconFile({MakeDib(16, 16, 4, 16)})));
  EXPECT_EQ(OpenModuleSource(dir.Path("x.dll").c_str()), nullptr);
  EXPECT_EQ(OpenModuleSource(dir.Path("absent.dll").c_str()), nullptr);
}

// Same group count, names, order and image bytes from both paths.
TEST(PlatformModule, PortableReaderAgreesOnEveryWinePeFile) {
  const std::string dir = WinePeDir(false);
  VANTORICO_REQUIRE_INPUT(!dir.empty(), "Wine's files are not installed");
  int files = 0, groups = 0;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(dir, ec)) {
    const std::string ext = item.path().extension().string();
    if (ext != ".dll" && ext != ".exe" && ext != ".cpl" && ext != ".ocx" && ext != ".drv") continue;
    const std::string path = item.path().string();
    auto platform = OpenModuleSource(path.c_str());
    auto portable = OpenPortableModule(path.c_str());
    if (!platform) {
      EXPECT_EQ(portable, nullptr) << path;
      continue;
    }
    ASSERT_NE(portable, nullptr) << path;
    ++files;
    const std::vector<ResourceName> a = Names(*platform), b = Names(*portable);
    ASSERT_EQ(a.size(), b.size()) << path;
    for (size_t i = 0; i < a.size(); ++i) {
      ASSERT_TRUE(ResourceNamesEqual(a[i], b[i])) << path << " #" << i;
      ASSERT_EQ(Describe(a[i]), Describe(b[i])) << path;
      IconImageSetPtr x = ReadIconGroupFrom(*platform, a[i], path.c_str());
      IconImageSetPtr y = ReadIconGroupFrom(*portable, b[i], path.c_str());
      ASSERT_EQ(x == nullptr, y == nullptr) << path << " " << Describe(a[i]);
      if (x) {
        ASSERT_EQ(x->imageCount, y->imageCount) << path;
        for (uint32_t k = 0; k < x->imageCount; ++k) {
          ASSERT_EQ(Bytes(x->images[k].data, x->images[k].data + x->images[k].dataSize),
                    Bytes(y->images[k].data, y->images[k].data + y->images[k].dataSize))
              << path << " " << Describe(a[i]) << " image " << k;
        }
      }
      ++groups;
    }
  }
  EXPECT_GT(files, 100);
  EXPECT_GT(groups, 184);
  std::printf("compared %d files, %d groups\n", files, groups);
}

}  // namespace
}  // namespace vantorico

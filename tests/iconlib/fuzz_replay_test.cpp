// Replays the fuzz entry points over the seed corpus (and the shared corpus
// when present), so CI runs them without clang or libFuzzer.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/heap.h"
#include "fuzz/fuzz_entries.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

// Every regular file under dir, fed to both entry points.
int ReplayDirectory(const std::string& dir) {
  int files = 0;
  std::error_code ec;
  for (const auto& item : std::filesystem::recursive_directory_iterator(dir, ec)) {
    if (!item.is_regular_file()) continue;
    Bytes bytes;
    if (!ReadWholeFile(item.path().string(), &bytes)) continue;
    const uint64_t live = GetHeapCounters().liveBlocks;
    EXPECT_TRUE(FuzzModuleReader(bytes.data(), bytes.size())) << item.path();
    EXPECT_TRUE(FuzzIconFileReader(bytes.data(), bytes.size())) << item.path();
    EXPECT_EQ(GetHeapCounters().liveBlocks, live) << item.path();
    ++files;
  }
  return files;
}

TEST(FuzzReplay, SeedCorpus) {
  const std::string seeds = PlatformPath(std::string(VANTORICO_SOURCE_DIR) + "/fuzz/corpus");
  EXPECT_GE(ReplayDirectory(seeds), 6);
}

TEST(FuzzReplay, SharedCorpus) {
  const std::string corpus = CorpusDir();
  VANTORICO_REQUIRE_INPUT(!corpus.empty(), "no corpus");
  EXPECT_GT(ReplayDirectory(corpus), 40);
}

TEST(FuzzReplay, TruncatedSeeds) {
  const std::string seeds = PlatformPath(std::string(VANTORICO_SOURCE_DIR) + "/fuzz/corpus");
  std::error_code ec;
  for (const auto& item : std::filesystem::recursive_directory_iterator(seeds, ec)) {
    if (!item.is_regular_file()) continue;
    Bytes bytes;
    ASSERT_TRUE(ReadWholeFile(item.path().string(), &bytes));
    // Each cut gets its own exact-size buffer so a sanitizer sees any overread.
    for (size_t n = 0; n < bytes.size(); n += 1 + n / 8) {
      Bytes cut(bytes.begin(), bytes.begin() + n);
      EXPECT_TRUE(FuzzModuleReader(cut.data(), cut.size())) << item.path() << " cut at " << n;
      EXPECT_TRUE(FuzzIconFileReader(cut.data(), cut.size())) << item.path() << " cut at " << n;
    }
  }
}

}  // namespace
}  // namespace vantorico

// The DIB decoder's minimised fuzz corpus replayed through the fuzz entry
// (no clang needed): every input keeps the properties the target checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/fuzz_image_entries.h"
#include "test_support.h"

namespace vantorico {
namespace {

namespace fs = std::filesystem;

TEST(DibCorpusReplay, EveryInputKeepsTheTargetsProperties) {
  const std::string dir =
      testing::PlatformPath(std::string(VANTORICO_SOURCE_DIR) + "/fuzz/corpus/dib_decoder");
  VANTORICO_REQUIRE_INPUT(fs::is_directory(dir), "no corpus yet");
  int files = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    testing::Bytes bytes;
    ASSERT_TRUE(testing::ReadWholeFile(e.path().string(), &bytes));
    EXPECT_TRUE(FuzzDibDecoder(bytes.data(), bytes.size())) << e.path();
    ++files;
  }
  EXPECT_GT(files, 50);
}

}  // namespace
}  // namespace vantorico

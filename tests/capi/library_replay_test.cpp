// The C interface's fuzz entry over the seed corpora of the module and icon
// file readers, and over the built test module cut at every length a
// hundredth apart: every answer keeps the interface's promises.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fuzz/fuzz_library_entries.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LibraryReplay, SeedCorporaKeepThePromises) {
  int replayed = 0;
  for (const char* folder : {"module_reader", "icon_file_reader"}) {
    for (const auto& entry :
         fs::directory_iterator(std::string(VANTORICO_SOURCE_DIR) + "/fuzz/corpus/" + folder)) {
      const std::vector<uint8_t> bytes = Slurp(entry.path());
      EXPECT_TRUE(vantorico::FuzzLibrary(bytes.data(), bytes.size())) << entry.path();
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 100);
}

TEST(LibraryReplay, CutModulesKeepThePromises) {
  const std::vector<uint8_t> module =
      Slurp(std::string(VANTORICO_BINARY_DIR) + "/tests/iconlib/test_module32.dll");
  ASSERT_GT(module.size(), 1000u);
  for (size_t cut = 0; cut <= module.size(); cut += module.size() / 100 + 1) {
    EXPECT_TRUE(vantorico::FuzzLibrary(module.data(), cut)) << cut;
  }
}

}  // namespace

#pragma once
// The installed thumbnailer, run the way a file manager runs it: installed
// into a scratch prefix with `cmake --install`, its Exec= line taken from the
// installed .thumbnailer file, the size, input and output put in for %s, %i
// and %o, and run through the shell with the prefix's bin/ on PATH.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace vantorico::testing {

std::string Quote(const std::string& s);
std::string ReadText(const std::filesystem::path& p);
// The value of key= in a .thumbnailer file's [Thumbnailer Entry] group.
std::string EntryValue(const std::string& text, const std::string& key);

// A 16-bit NE icon library: one group (id 1) of one 32 x 32 32-bit image.
Bytes MakeNeIconLibrary();
// tests/data/arrow.cur: a cursor file of one 32 x 32 32-bit image.
std::string CursorFilePath();
// A 32-bit DIB of size x size in the icon convention, opaque.
Bytes OpaqueDib(uint32_t size);

// The exit statuses the manual page gives.
constexpr int kExitWritten = 0;
constexpr int kExitNoIcon = 1;
constexpr int kExitUsage = 2;
constexpr int kExitStopped = 3;

class InstalledThumbnailer : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;

  static const std::filesystem::path& root() { return *root_; }
  static std::filesystem::path Out(const std::string& leaf) { return *root_ / "out" / leaf; }
  static std::string Program() { return (*root_ / "prefix/bin/vantorico-thumbnailer").string(); }

  // Runs the Exec line; returns the exit status (-1 when it did not exit).
  // prefix goes in front of the command (a user to run it as, say).
  int Run(const std::string& input, const std::string& output, int size,
          const std::string& prefix = std::string()) const;
  // Runs the installed program itself with -s size input output, without a
  // shell in between (for long replays); the exit status or -1.
  int RunDirect(const std::string& input, const std::string& output, int size) const;
  // Runs the program with arguments of its own; stdout into *out.
  int RunProgram(const std::string& args, std::string* out = nullptr) const;

  // The output must be a PNG whose longer side is extent, not fully
  // transparent, and the only file in the output folder.
  void ExpectThumbnail(const std::string& input, int size, uint32_t extent);
  void ExpectOnlyFiles(const std::vector<std::string>& files) const;

  std::string text_, exec_;

 private:
  static std::filesystem::path* root_;
  static bool installed_;
};

// Runs a shell command; its exit status, or -1 when it did not exit.
int ShellStatus(const std::string& command);

}  // namespace vantorico::testing

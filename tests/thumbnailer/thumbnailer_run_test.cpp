// The installed thumbnailer run the way a file manager runs it: install into
// a scratch prefix with `cmake --install`, take the Exec= line of the
// installed .thumbnailer file, put the size, input and output in for %s, %i
// and %o, and run it through the shell with the prefix's bin/ on PATH.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "iconlib/png_codec.h"
#include "iconlib/rgba_image.h"
#include "test_support.h"

namespace vantorico {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::PutU16;
using testing::PutU32;
using testing::WineFile;

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The value of key= in the [Thumbnailer Entry] group.
std::string EntryValue(const std::string& text, const std::string& key) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return std::string();
}

// A 16-bit NE icon library: one group (id 1) of one 32 x 32 32-bit image.
Bytes MakeNeIconLibrary() {
  Bytes dib(40, 0);
  PutU32(&dib, 0, 40);
  PutU32(&dib, 4, 32);
  PutU32(&dib, 8, 64);
  PutU16(&dib, 12, 1);
  PutU16(&dib, 14, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) dib.insert(dib.end(), {uint8_t(x * 8), uint8_t(y * 8), 200, 255});
  dib.insert(dib.end(), 4 * 32, 0);
  Bytes group = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 1, 0};
  PutU32(&group, 6 + 8, static_cast<uint32_t>(dib.size()));

  const size_t ne = 64, table = 64, shift = 4;
  Bytes b(ne + table, 0);
  b[0] = 'M';
  b[1] = 'Z';
  PutU32(&b, 0x3C, ne);
  b[ne] = 'N';
  b[ne + 1] = 'E';
  // Resource table: shift, two type records of one name record each, end.
  const size_t tableSize = 2 + 2 * (8 + 12) + 2;
  PutU16(&b, ne + 0x24, table);
  PutU16(&b, ne + 0x26, static_cast<uint16_t>(table + tableSize));
  b.resize(ne + table + tableSize + 16, 0);
  auto align = [&](size_t at) { return (at + 15) & ~size_t{15}; };
  const size_t groupAt = align(b.size());
  const size_t dibAt = align(groupAt + group.size());
  size_t at = ne + table;
  PutU16(&b, at, shift);
  at += 2;
  for (const auto& [type, where, bytes] :
       {std::tuple<uint16_t, size_t, size_t>{0x800E, groupAt, group.size()},
        std::tuple<uint16_t, size_t, size_t>{0x8003, dibAt, dib.size()}}) {
    PutU16(&b, at, type);
    PutU16(&b, at + 2, 1);
    at += 8;
    PutU16(&b, at, static_cast<uint16_t>(where >> shift));
    PutU16(&b, at + 2, static_cast<uint16_t>((bytes + 15) >> shift));
    PutU16(&b, at + 6, 0x8001);
    at += 12;
  }
  b.resize(groupAt, 0);
  b.insert(b.end(), group.begin(), group.end());
  b.resize(dibAt, 0);
  b.insert(b.end(), dib.begin(), dib.end());
  b.resize(align(b.size()), 0);
  return b;
}

class InstalledThumbnailer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new fs::path(fs::temp_directory_path() /
                         ("vantorico-thumbnailer-" + std::to_string(::getpid())));
    fs::remove_all(*root_);
    fs::create_directories(*root_ / "out");
    const std::string cmd = Quote(VANTORICO_CMAKE) + " --install " + Quote(VANTORICO_BINARY_DIR) +
                            " --prefix " + Quote((*root_ / "prefix").string()) +
                            " --component thumbnailer >/dev/null";
    installed_ = std::system(cmd.c_str()) == 0;
    ASSERT_TRUE(testing::WriteWholeFile((*root_ / "library.icl").string(), MakeNeIconLibrary()));
    ASSERT_TRUE(testing::WriteWholeFile((*root_ / "notes.txt").string(),
                                        Bytes{'n', 'o', ' ', 'i', 'c', 'o', 'n', '\n'}));
  }
  static void TearDownTestSuite() {
    fs::remove_all(*root_);
    delete root_;
  }

  void SetUp() override {
    ASSERT_TRUE(installed_) << "cmake --install failed";
    const fs::path entry = *root_ / "prefix/share/thumbnailers/vantorico.thumbnailer";
    ASSERT_TRUE(fs::exists(entry));
    text_ = ReadText(entry);
    exec_ = EntryValue(text_, "Exec");
    ASSERT_FALSE(exec_.empty());
    fs::remove_all(*root_ / "out");
    fs::create_directories(*root_ / "out");
  }

  // Runs the Exec line; returns the exit status.
  int Run(const std::string& input, const std::string& output, int size) {
    std::string line = exec_;
    for (const auto& [code, value] :
         {std::pair<std::string, std::string>{"%s", std::to_string(size)},
          {"%i", Quote(input)},
          {"%o", Quote(output)}}) {
      const size_t at = line.find(code);
      if (at == std::string::npos) return -1;
      line.replace(at, 2, value);
    }
    const std::string cmd =
        "PATH=" + Quote((*root_ / "prefix/bin").string()) + ":\"$PATH\" " + line + " 2>/dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The output must be a PNG of size x size (or its own size when the
  // thumbnailer used a stored PNG unchanged) that is not fully transparent.
  void ExpectThumbnail(const std::string& input, int size) {
    const std::string out = (*root_ / "out" / ("t" + std::to_string(size) + ".png")).string();
    ASSERT_EQ(Run(input, out, size), 0) << input << " at " << size;
    Bytes png;
    ASSERT_TRUE(testing::ReadWholeFile(out, &png)) << input;
    const PngDecodeResult r = DecodePng(ByteSpan(png.data(), png.size()));
    ASSERT_TRUE(r.ok()) << input << ": " << PngCodecErrorName(r.error);
    EXPECT_EQ(std::max(r.image.width, r.image.height), static_cast<uint32_t>(size)) << input;
    EXPECT_FALSE(IsFullyTransparent(r.image)) << input;
    ExpectOnlyFiles({out});
    fs::remove(out);
  }

  void ExpectOnlyFiles(const std::vector<std::string>& files) {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(*root_ / "out")) {
      ++n;
      EXPECT_NE(std::find(files.begin(), files.end(), e.path().string()), files.end())
          << "left behind: " << e.path();
    }
    EXPECT_EQ(n, files.size());
  }

  static fs::path* root_;
  static bool installed_;
  std::string text_, exec_;
};
fs::path* InstalledThumbnailer::root_ = nullptr;
bool InstalledThumbnailer::installed_ = false;

TEST_F(InstalledThumbnailer, EntryNamesTheProgramAndTheTypes) {
  EXPECT_EQ(exec_, "vantorico-thumbnailer -s %s %i %o");
  EXPECT_TRUE(fs::exists(*root_ / "prefix/bin/vantorico-thumbnailer"));
  const std::string types = ";" + EntryValue(text_, "MimeType");
  for (const char* t : {"application/x-ms-dos-executable", "application/x-msdownload",
                        "application/x-ms-ne-executable", "image/vnd.microsoft.icon"}) {
    EXPECT_NE(types.find(std::string(";") + t + ";"), std::string::npos) << t;
  }
  // Whatever the installed MIME database calls .exe and .dll files is listed too.
  const std::string db = ReadText("/usr/share/mime/packages/freedesktop.org.xml");
  for (const char* glob : {"<glob pattern=\"*.exe\"/>", "<glob pattern=\"*.dll\"/>"}) {
    const size_t at = db.find(glob);
    if (at == std::string::npos) continue;
    const size_t open = db.rfind("<mime-type type=\"", at);
    ASSERT_NE(open, std::string::npos);
    const size_t begin = open + 17;
    const std::string type = db.substr(begin, db.find('"', begin) - begin);
    EXPECT_NE(types.find(";" + type + ";"), std::string::npos) << glob << " is " << type;
  }
}

TEST_F(InstalledThumbnailer, WineProgramsGiveTheirIcon) {
  const std::string notepad = WineFile("notepad.exe");
  const std::string shell32 = WineFile("shell32.dll");
  VANTORICO_REQUIRE_INPUT(!notepad.empty() && !shell32.empty(), "no Wine program files");
  for (int size : {16, 48, 128, 256, 512}) {
    if (!notepad.empty()) ExpectThumbnail(notepad, size);
    if (!shell32.empty()) ExpectThumbnail(shell32, size);
  }
}

TEST_F(InstalledThumbnailer, NeIconLibraryGivesItsIcon) {
  ExpectThumbnail((*root_ / "library.icl").string(), 32);
  ExpectThumbnail((*root_ / "library.icl").string(), 128);
}

TEST_F(InstalledThumbnailer, WineSixteenBitFilesGiveTheirIcon) {
  const std::string display = testing::WineNeFile("display.drv");
  VANTORICO_REQUIRE_INPUT(!display.empty(), "no 16-bit Wine driver (display.drv)");
  ExpectThumbnail(display, 128);
}

TEST_F(InstalledThumbnailer, IconFileGivesItsIcon) {
  ExpectThumbnail(std::string(VANTORICO_SOURCE_DIR) + "/tests/data/two_images.ico", 32);
  ExpectThumbnail(std::string(VANTORICO_SOURCE_DIR) + "/tests/data/with_png.ico", 256);
}

TEST_F(InstalledThumbnailer, NoIconMeansFailureAndNoFile) {
  std::vector<std::string> inputs = {(*root_ / "notes.txt").string(),
                                     (*root_ / "missing.exe").string()};
  // Wine's explorer.exe has no icon group of its own.
  const std::string explorer = WineFile("explorer.exe");
  if (!explorer.empty()) inputs.push_back(explorer);
  for (const std::string& input : inputs) {
    const std::string out = (*root_ / "out/none.png").string();
    EXPECT_NE(Run(input, out, 128), 0) << input;
    EXPECT_FALSE(fs::exists(out)) << input;
    ExpectOnlyFiles({});
  }
}

TEST_F(InstalledThumbnailer, ALinkAtTheOutputPathIsReplacedNotFollowed) {
  // The output replaces a symbolic link planted at the output path, and the
  // file it pointed to stays as it was.
  const std::string victim = (*root_ / "victim").string();
  ASSERT_TRUE(testing::WriteWholeFile(victim, Bytes{'k', 'e', 'e', 'p'}));
  const std::string out = (*root_ / "out/link.png").string();
  fs::create_symlink(victim, out);
  ASSERT_EQ(Run(std::string(VANTORICO_SOURCE_DIR) + "/tests/data/two_images.ico", out, 32), 0);
  EXPECT_FALSE(fs::is_symlink(out));
  Bytes kept;
  ASSERT_TRUE(testing::ReadWholeFile(victim, &kept));
  EXPECT_EQ(kept, (Bytes{'k', 'e', 'e', 'p'}));
}

}  // namespace
}  // namespace vantorico

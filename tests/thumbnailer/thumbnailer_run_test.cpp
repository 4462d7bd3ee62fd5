// The installed thumbnailer run the way a file manager runs it: what it shows
// for each kind of file and size, and the exit statuses its manual page gives.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <vantorico_version.h>

#include "installed_thumbnailer.h"

namespace vantorico {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::InstalledThumbnailer;
using testing::Quote;
using testing::WineFile;

class ThumbnailerRun : public InstalledThumbnailer {};

TEST_F(ThumbnailerRun, EntryNamesTheProgram) {
  EXPECT_EQ(exec_, "vantorico-thumbnailer -s %s %i %o");
  EXPECT_EQ(testing::EntryValue(text_, "TryExec"), "vantorico-thumbnailer");
  EXPECT_TRUE(fs::exists(Program()));
}

// Wine's programs hold images up to 256 x 256: the native image of the asked
// size, the next larger scaled down, and never more than the largest.
TEST_F(ThumbnailerRun, WineProgramsGiveTheirIconNeverEnlarged) {
  const std::string notepad = WineFile("notepad.exe");
  const std::string shell32 = WineFile("shell32.dll");
  VANTORICO_REQUIRE_INPUT(!notepad.empty() && !shell32.empty(), "no Wine program files");
  for (const auto& [size, extent] : {std::pair<int, uint32_t>{16, 16},
                                     {24, 24},
                                     {48, 48},
                                     {128, 128},
                                     {256, 256},
                                     {512, 256},
                                     {1024, 256}}) {
    ExpectThumbnail(notepad, size, extent);
    ExpectThumbnail(shell32, size, extent);
  }
}

TEST_F(ThumbnailerRun, SmallIconsAreWrittenAtTheirOwnSize) {
  const fs::path library = root() / "library.icl";
  ASSERT_TRUE(testing::WriteWholeFile(library.string(), testing::MakeNeIconLibrary()));
  ExpectThumbnail(library.string(), 16, 16);
  ExpectThumbnail(library.string(), 128, 32);
  const std::string data = std::string(VANTORICO_SOURCE_DIR) + "/tests/data/";
  ExpectThumbnail(data + "two_images.ico", 32, 32);
  ExpectThumbnail(data + "two_images.ico", 256, 32);
  ExpectThumbnail(data + "with_png.ico", 128, 128);
  ExpectThumbnail(data + "with_png.ico", 256, 256);
  ExpectThumbnail(data + "with_png.ico", 512, 256);
}

TEST_F(ThumbnailerRun, CursorFileGivesItsImage) {
  ExpectThumbnail(testing::CursorFilePath(), 128, 32);
  ExpectThumbnail(testing::CursorFilePath(), 16, 16);
}

TEST_F(ThumbnailerRun, WineSixteenBitFilesGiveTheirIcon) {
  const std::string display = testing::WineNeFile("display.drv");
  VANTORICO_REQUIRE_INPUT(!display.empty(), "no 16-bit Wine driver (display.drv)");
  const std::string out = Out("ne.png").string();
  ASSERT_EQ(Run(display, out, 128), testing::kExitWritten);
  EXPECT_GT(fs::file_size(out), 0u);
}

TEST_F(ThumbnailerRun, HelpAndVersionSucceed) {
  std::string out;
  EXPECT_EQ(RunProgram("--help", &out), testing::kExitWritten);
  EXPECT_NE(out.find("usage: vantorico-thumbnailer -s SIZE INPUT OUTPUT"), std::string::npos);
  EXPECT_EQ(RunProgram("-h"), testing::kExitWritten);
  EXPECT_EQ(RunProgram("--version", &out), testing::kExitWritten);
  EXPECT_EQ(out, std::string("vantorico-thumbnailer ") + VANTORICO_VERSION + "\n");
  EXPECT_EQ(RunProgram("-V"), testing::kExitWritten);
  // The manual page installed beside it carries the same version.
  const fs::path page = root() / "prefix/share/man/man1/vantorico-thumbnailer.1";
  ASSERT_TRUE(fs::exists(page));
  const std::string th = testing::ReadText(page).substr(0, testing::ReadText(page).find('\n'));
  EXPECT_NE(th.find(std::string("VantorICO ") + VANTORICO_VERSION), std::string::npos) << th;
}

// Each failure as the manual page words it: 1 for a file without an icon
// to show, 2 for a usage error or an input that cannot be read as a file.
TEST_F(ThumbnailerRun, ExitStatusesAreThoseOfTheManualPage) {
  const std::string ico = std::string(VANTORICO_SOURCE_DIR) + "/tests/data/two_images.ico";
  const std::string out = Out("t.png").string();
  for (const std::string& args :
       {std::string(), std::string("-s"), "-s 64 " + Quote(ico), "-s 0 " + Quote(ico) + " x.png",
        "-s 4097 " + Quote(ico) + " x.png", "-s ' 64' " + Quote(ico) + " x.png",
        "-s -64 " + Quote(ico) + " x.png", "--size 64 " + Quote(ico) + " x.png"}) {
    EXPECT_EQ(RunProgram(args), testing::kExitUsage) << args;
  }
  const fs::path notes = root() / "notes.txt";
  ASSERT_TRUE(testing::WriteWholeFile(notes.string(), Bytes{'n', 'o', ' ', 'i', 'c', 'o', 'n'}));
  EXPECT_EQ(Run(notes.string(), out, 128), testing::kExitNoIcon);
  const std::string explorer = WineFile("explorer.exe");  // no icon group of its own
  if (!explorer.empty()) {
    EXPECT_EQ(Run(explorer, out, 128), testing::kExitNoIcon);
  }

  const fs::path fifo = root() / "input.fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const fs::path& input : {root() / "missing.exe", root() / "out", fifo}) {
    EXPECT_EQ(Run(input.string(), out, 128), testing::kExitUsage) << input;
  }
  ExpectOnlyFiles({});

  // A file its user may not read, as an unprivileged user sees it.
  if (geteuid() == 0) {
    const fs::path secret = root() / "secret.ico";
    fs::copy_file(ico, secret);
    ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
    const fs::path shared = root() / "shared";
    fs::create_directories(shared);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    ASSERT_EQ(chmod(root().c_str(), 0755), 0);
    EXPECT_EQ(Run(secret.string(), (shared / "t.png").string(), 128,
                  "setpriv --reuid=65534 --regid=65534 --clear-groups"),
              testing::kExitUsage);
    EXPECT_FALSE(fs::exists(shared / "t.png"));
  }
}

}  // namespace
}  // namespace vantorico

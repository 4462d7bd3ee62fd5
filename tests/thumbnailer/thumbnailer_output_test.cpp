// Where the installed thumbnailer writes: into the file the client named,
// in place, so a client that holds that file open reads the picture back
// through its own handle (tumbler does); never into anything but a regular
// file of one name that is not the input; and nothing on failure.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "iconlib/images/png_codec.h"
#include "installed_thumbnailer.h"

namespace vantorico {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::InstalledThumbnailer;

class ThumbnailerOutput : public InstalledThumbnailer {
 protected:
  std::string Ico() const { return std::string(VANTORICO_SOURCE_DIR) + "/tests/data/with_png.ico"; }
  static ino_t InodeOf(const fs::path& p) {
    struct stat st;
    return lstat(p.c_str(), &st) == 0 ? st.st_ino : 0;
  }
};

// What a client holding the output open reads through its handle.
Bytes ReadThrough(int fd) {
  Bytes out;
  uint8_t buffer[65536];
  for (off_t at = 0;;) {
    const ssize_t n = pread(fd, buffer, sizeof buffer, at);
    if (n <= 0) break;
    out.insert(out.end(), buffer, buffer + n);
    at += n;
  }
  return out;
}

TEST_F(ThumbnailerOutput, TheClientsOpenFileReceivesThePicture) {
  // As tumbler does: the client creates the file, keeps it open, runs the
  // command and reads back through its own descriptor. A stale longer
  // content is cut to the picture's length.
  const fs::path out = Out("tumbler-AbC123.png");
  ASSERT_TRUE(testing::WriteWholeFile(out.string(), Bytes(300000, 0x5A)));
  const int held = open(out.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  const ino_t inode = InodeOf(out);
  ASSERT_EQ(Run(Ico(), out.string(), 128), testing::kExitWritten);
  const Bytes png = ReadThrough(held);
  close(held);
  const PngDecodeResult decoded = DecodePng(ByteSpan(png.data(), png.size()));
  ASSERT_TRUE(decoded.ok()) << PngCodecErrorName(decoded.error) << ", " << png.size() << " bytes";
  EXPECT_EQ(decoded.image.width, 128u);
  EXPECT_EQ(InodeOf(out), inode);  // the same file, not a new one renamed over it
  ExpectOnlyFiles({out.string()});
}

TEST_F(ThumbnailerOutput, AbsentOutputIsCreated) {
  const fs::path out = Out("new.png");
  ASSERT_EQ(Run(Ico(), out.string(), 256), testing::kExitWritten);
  Bytes png;
  ASSERT_TRUE(testing::ReadWholeFile(out.string(), &png));
  EXPECT_TRUE(DecodePng(ByteSpan(png.data(), png.size())).ok());
  ExpectOnlyFiles({out.string()});
}

TEST_F(ThumbnailerOutput, FailureLeavesNoPicture) {
  const fs::path notes = root() / "notes.txt";
  ASSERT_TRUE(testing::WriteWholeFile(notes.string(), Bytes{'n', 'o', ' ', 'i', 'c', 'o', 'n'}));
  // The client's file stays, empty; a file the run created is gone.
  const fs::path held = Out("held.png");
  ASSERT_TRUE(testing::WriteWholeFile(held.string(), Bytes(1000, 0x5A)));
  EXPECT_EQ(Run(notes.string(), held.string(), 128), testing::kExitNoIcon);
  EXPECT_EQ(fs::file_size(held), 0u);
  EXPECT_EQ(Run(notes.string(), Out("absent.png").string(), 128), testing::kExitNoIcon);
  ExpectOnlyFiles({held.string()});
}

TEST_F(ThumbnailerOutput, AFullDiskLeavesNoPicture) {
  testing::SmallTmpfs disk("thumbnailer-full", 16 * 1024);
  VANTORICO_REQUIRE_INPUT(disk.mounted(), "a 16 KiB tmpfs (needs root)");
  const std::string shell32 = testing::WineFile("shell32.dll");
  VANTORICO_REQUIRE_INPUT(!shell32.empty(), "no Wine program files");
  // A 256 x 256 picture does not fit: the write fails, nothing stays.
  const fs::path held = fs::path(disk.path()) / "held.png";
  ASSERT_TRUE(testing::WriteWholeFile(held.string(), Bytes{1, 2, 3}));
  EXPECT_EQ(Run(shell32, held.string(), 256), testing::kExitUsage);
  EXPECT_EQ(fs::file_size(held), 0u);
  const fs::path created = fs::path(disk.path()) / "created.png";
  EXPECT_EQ(Run(shell32, created.string(), 256), testing::kExitUsage);
  EXPECT_FALSE(fs::exists(created));
}

// Anything but a regular file of one name is refused before it is opened,
// and stays exactly as it was.
TEST_F(ThumbnailerOutput, OnlyARegularFileOfOneNameIsWritten) {
  const fs::path victim = root() / "victim";
  ASSERT_TRUE(testing::WriteWholeFile(victim.string(), Bytes{'k', 'e', 'e', 'p'}));
  const fs::path link = Out("link.png");
  fs::create_symlink(victim, link);
  const fs::path dangling = Out("dangling.png");
  fs::create_symlink(root() / "nowhere", dangling);
  const fs::path folder = Out("folder.png");
  fs::create_directory(folder);
  const fs::path fifo = Out("fifo.png");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const fs::path hardLink = Out("hard.png");
  fs::create_hard_link(victim, hardLink);
  for (const fs::path& out : {link, dangling, folder, fifo, hardLink}) {
    EXPECT_EQ(Run(Ico(), out.string(), 128), testing::kExitUsage) << out;
  }
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_FALSE(fs::exists(root() / "nowhere"));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_fifo(fifo));
  Bytes kept;
  ASSERT_TRUE(testing::ReadWholeFile(victim.string(), &kept));
  EXPECT_EQ(kept, (Bytes{'k', 'e', 'e', 'p'}));
}

TEST_F(ThumbnailerOutput, DevicesSurvive) {
  VANTORICO_REQUIRE_INPUT(geteuid() == 0, "root, to make a device node and to write /dev/null");
  // A device node of /dev/null's numbers, and /dev/null itself.
  const fs::path node = Out("null.png");
  ASSERT_EQ(mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  for (const fs::path& out : {node, fs::path("/dev/null")}) {
    EXPECT_EQ(Run(Ico(), out.string(), 128), testing::kExitUsage) << out;
    struct stat st;
    ASSERT_EQ(lstat(out.c_str(), &st), 0) << out;
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << out;
    EXPECT_EQ(st.st_rdev, makedev(1, 3)) << out;
  }
}

TEST_F(ThumbnailerOutput, TheInputIsNeverTheOutput) {
  const fs::path input = Out("app.ico");
  fs::copy_file(Ico(), input);
  Bytes before;
  ASSERT_TRUE(testing::ReadWholeFile(input.string(), &before));
  const fs::path other = Out("other-name.ico");
  fs::create_hard_link(input, other);
  const fs::path dotted = Out(".") / "app.ico";
  for (const fs::path& out : {input, other, dotted}) {
    EXPECT_EQ(Run(input.string(), out.string(), 64), testing::kExitUsage) << out;
  }
  Bytes after;
  ASSERT_TRUE(testing::ReadWholeFile(input.string(), &after));
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace vantorico

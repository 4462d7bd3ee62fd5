// The command line's faults of the second round, each made to happen for
// real: a device node and a FIFO at an output name, two processes racing
// into one folder, one run naming two outputs alike, broken stored PNGs and
// bitmap headers, a folder without search permission read by an
// unprivileged user, a tree deeper than PATH_MAX, NUL-separated lists,
// control characters in file names, odd numbers, .mun folders behind links.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <set>
#include <string>

#include "cli/cli_app.h"
#include "cli_run.h"
#include "cli/file_seam.h"
#include "iconlib/images/png_codec.h"
#include "pe_builder.h"
#include "test_support.h"
#include "tests/support/png_check.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

std::string Quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

const std::string& Program() {
  static const std::string path = std::string(VANTORICO_BINARY_DIR) + "/cli/vantorico";
  return path;
}

// Runs a shell command line; its standard output and error as text.
CliRun Shell(const std::string& command, const ScratchDir& dir) {
  const std::string out = dir.Path("shell.out"), err = dir.Path("shell.err");
  const int status = std::system((command + " > " + Quoted(out) + " 2> " + Quoted(err)).c_str());
  CliRun r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, "", ""};
  Bytes b;
  if (ReadWholeFile(out, &b)) r.out = Text(b);
  if (ReadWholeFile(err, &b)) r.err = Text(b);
  unlink(out.c_str());
  unlink(err.c_str());
  return r;
}

const Bytes kDib16 = MakeDib(16, 16, 4, 16);

Bytes OneGroupModule(const std::vector<Bytes>& images, const std::string& name = "",
                     std::vector<uint16_t> languages = {0x0409}) {
  std::vector<PeResource> r;
  std::vector<std::pair<uint16_t, Bytes>> members;
  for (size_t i = 0; i < images.size(); ++i) {
    members.push_back({static_cast<uint16_t>(i + 1), images[i]});
    r.push_back({3, "", static_cast<uint16_t>(i + 1), 0x0409, images[i]});
  }
  for (uint16_t l : languages) r.push_back({14, name, 1, l, GroupDirectoryOf(members, false)});
  return BuildPe(r);
}

class CliFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = dir_.Path("m.dll");
    ASSERT_TRUE(WriteWholeFile(module_, OneGroupModule({kDib16})));
  }
  ScratchDir dir_{std::string("cli_faults_") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name()};
  std::string module_;
};

// 2. A device node (made here with mknod) or FIFO at DIR/1.ico is refused and
// reported (exit 4), and stays what it was; a replaced 0600 file keeps 0600.
TEST_F(CliFaults, ADeviceOrFifoAtAnOutputNameIsRefusedAndAFileKeepsItsMode) {
  VANTORICO_REQUIRE_INPUT(geteuid() == 0, "needs root to make a device node");
  for (const char* kind : {"device", "fifo"}) {
    const std::string out = dir_.Path(kind);
    ASSERT_TRUE(MakeDirectoryForTest(out));
    const std::string name = out + "/1.ico";
    if (std::string(kind) == "device") {
      ASSERT_EQ(mknod(name.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    } else {
      ASSERT_EQ(mkfifo(name.c_str(), 0666), 0);
    }
    for (const char* rule : {"overwrite", "skip", "rename"}) {
      const CliRun r = Cli({"extract", module_, "-o", out, "--on-conflict", rule, "--json"});
      struct stat st;
      ASSERT_EQ(lstat(name.c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & S_IFMT, std::string(kind) == "device" ? S_IFCHR : S_IFIFO);
      if (std::string(rule) == "overwrite") {
        EXPECT_EQ(r.code, kExitOutputFailed) << kind;
        EXPECT_NE(r.err.find("not replacing '" + name + "': it is not a regular file"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.out.find("\"status\":\"failed\""), std::string::npos) << r.out;
      } else {
        // Left alone as skip and rename leave any name that is taken.
        EXPECT_EQ(r.code, kExitOk) << kind << " " << rule << r.err;
      }
    }
    EXPECT_TRUE(FileExists(out + "/1-2.ico")) << kind;  // from rename
  }
  const std::string out = dir_.Path("mode");
  ASSERT_TRUE(MakeDirectoryForTest(out));
  ASSERT_TRUE(WriteWholeFile(out + "/1.ico", Bytes(4, 'o')));
  ASSERT_EQ(chmod((out + "/1.ico").c_str(), 0600), 0);
  ASSERT_EQ(Cli({"extract", module_, "-o", out}).code, kExitOk);
  struct stat st;
  ASSERT_EQ(stat((out + "/1.ico").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_GT(st.st_size, 4);
}

// "-" reads the source from standard input (a pipe, which cannot be read by
// range): the same listing and files as the path gives; standard input is
// read once, and junk from it is refused as from a file.
TEST_F(CliFaults, StandardInputIsASource) {
  const std::string out = dir_.Path("out"), piped = dir_.Path("piped");
  const CliRun byPath = Shell(Quoted(Program()) + " list --json " + Quoted(module_), dir_);
  ASSERT_EQ(byPath.code, 0) << byPath.err;
  ASSERT_EQ(
      Shell(Quoted(Program()) + " extract -q " + Quoted(module_) + " -o " + Quoted(out), dir_).code,
      0);
  const std::string cat = "cat " + Quoted(module_) + " | " + Quoted(Program());
  const CliRun listed = Shell(cat + " list --json -", dir_);
  EXPECT_EQ(listed.code, 0) << listed.err;
  std::string expected = byPath.out;
  const std::string file = "\"file\":";
  expected.replace(expected.find(file),
                   expected.find(',', expected.find(file)) - expected.find(file), file + "\"-\"");
  EXPECT_EQ(listed.out, expected);
  EXPECT_EQ(Shell(cat + " extract -q - -o " + Quoted(piped), dir_).code, 0);
  Bytes a, b;
  ASSERT_TRUE(ReadWholeFile(out + "/1.ico", &a));
  ASSERT_TRUE(ReadWholeFile(piped + "/1.ico", &b));
  EXPECT_EQ(a, b);
  const struct {
    const char* input;
    const char* args;
    int code;
    const char* says;
  } cases[] = {
      {"printf junk", "list -", 3, "is not a program file or an icon file"},
      {"printf ''", "list -", 3, "is not a program file or an icon file"},
      {"cat m.dll", "list - -", 2, "can be given once"},
      {"printf -", "list --files-from -", 2, "--files-from reads standard input"},
  };
  for (const auto& c : cases) {
    const CliRun r = Shell(
        "cd " + Quoted(dir_.Path("")) + " && " + c.input + " | " + Quoted(Program()) + " " + c.args,
        dir_);
    EXPECT_EQ(r.code, c.code) << c.input << " | " << c.args << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
    EXPECT_EQ(r.out, "") << c.args;
  }
}

// A pipe whose writer holds it open and stops writing (here the program
// holds the writing end itself, so no end ever comes) cannot hold a run
// with --timeout, whether nothing or part of a file came.
TEST_F(CliFaults, StandardInputKeepsToTheTimeout) {
  for (const std::string& before : {std::string(":"), "head -c 1000 " + Quoted(module_) + " >&3"}) {
    const CliRun r =
        Shell("cd " + Quoted(dir_.Path("")) + " && rm -f held && mkfifo held && exec 3<>held && " +
                  before + " && timeout 20 " + Quoted(Program()) + " list --timeout 0.3 - < held",
              dir_);
    EXPECT_EQ(r.code, 3) << before << ": " << r.err;
    EXPECT_NE(r.err.find("'-' took more than 0.3 seconds to read (--timeout); not read"),
              std::string::npos)
        << before << ": " << r.err;
  }
}

// A group whose images claim more pixels than the source may make the engine
// decode is said as such, not as repeated images; the groups within it are written.
TEST_F(CliFaults, GroupsPastThePixelBudgetAreSaidAndTheRestWritten) {
  std::vector<PeResource> resources;
  const std::vector<Bytes> images = {MakePng(4096, 4096), MakePng(4096, 4096), kDib16};
  for (size_t i = 0; i < images.size(); ++i) {
    const auto id = static_cast<uint16_t>(i + 1);
    resources.push_back({3, "", id, 0x0409, images[i]});
    resources.push_back({14, "", id, 0x0409, GroupDirectoryOf({{id, images[i]}}, false)});
  }
  const std::string module = dir_.Path("claims.dll");
  ASSERT_TRUE(WriteWholeFile(module, BuildPe(resources)));
  const std::string out = dir_.Path("out");
  const CliRun r = Cli({"extract", module, "-o", out});
  EXPECT_EQ(r.code, 3) << r.err;
  EXPECT_NE(r.err.find("claims more pixels than this file may make the extractor decode"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("repeat the same images"), std::string::npos) << r.err;
  EXPECT_TRUE(FileExists(out + "/1.ico"));
  EXPECT_FALSE(FileExists(out + "/2.ico"));
  EXPECT_TRUE(FileExists(out + "/3.ico"));
}

// 3. Two runs of the program at once into a folder holding 1.ico to 8.ico,
// a hundred rounds of eight names each: with rename both outputs of every
// group are kept under two new names, each run names the files it wrote, and
// the old files are untouched; with skip, into an empty folder, each name is
// written by exactly one run and skipped by the other.
TEST_F(CliFaults, RacingRunsNeverLoseOrOverwriteEachOthersFiles) {
  constexpr size_t kGroups = 8;
  std::vector<PeResource> resources = {{3, "", 1, 0x0409, kDib16}};
  for (size_t g = 1; g <= kGroups; ++g) {
    resources.push_back(
        {14, "", static_cast<uint16_t>(g), 0x0409, GroupDirectoryOf({{1, kDib16}}, false)});
  }
  const std::string module = dir_.Path("eight.dll");
  ASSERT_TRUE(WriteWholeFile(module, BuildPe(resources)));
  const Bytes old(5, 'o');
  constexpr int kRounds = 100;
  int lost = 0;
  for (int round = 0; round < kRounds; ++round) {
    const std::string out = dir_.Path("r" + std::to_string(round));
    ASSERT_TRUE(MakeDirectoryForTest(out));
    const bool skip = round % 2 == 1;
    for (size_t g = 1; g <= kGroups && !skip; ++g) {
      ASSERT_TRUE(WriteWholeFile(out + "/" + std::to_string(g) + ".ico", old));
    }
    const std::string run = Quoted(Program()) + " extract --on-conflict " +
                            (skip ? "skip" : "rename") + " --jsonl " + Quoted(module) + " -o " +
                            Quoted(out);
    const std::string both = "(" + run + " > " + Quoted(out + "/a.out") + ") & (" + run + " > " +
                             Quoted(out + "/b.out") + "); wait";
    ASSERT_EQ(std::system(both.c_str()), 0);
    Bytes a, b;
    ASSERT_TRUE(ReadWholeFile(out + "/a.out", &a));
    ASSERT_TRUE(ReadWholeFile(out + "/b.out", &b));
    const std::string said = Text(a) + Text(b);
    const auto count = [&](const std::string& what) {
      size_t n = 0;
      for (size_t at = said.find(what); at != std::string::npos; at = said.find(what, at + 1)) ++n;
      return n;
    };
    std::set<std::string> icons, want;
    for (const std::string& n : ListFolder(out)) {
      if (n.size() > 4 && n.compare(n.size() - 4, 4, ".ico") == 0) icons.insert(n);
    }
    for (size_t g = 1; g <= kGroups; ++g) {
      const std::string n = std::to_string(g);
      want.insert(n + ".ico");
      if (!skip) want.insert({n + "-2.ico", n + "-3.ico"});
      if (!skip) {
        EXPECT_EQ(count("/" + n + "-2.ico\""), 1u) << said;
        EXPECT_EQ(count("/" + n + "-3.ico\""), 1u) << said;
        Bytes kept;
        ASSERT_TRUE(ReadWholeFile(out + "/" + n + ".ico", &kept));
        EXPECT_EQ(kept, old);
      }
    }
    lost += icons != want;
    EXPECT_EQ(count("\"written\""), skip ? kGroups : 2 * kGroups) << said;
    EXPECT_EQ(count("\"skipped\""), skip ? kGroups : size_t{0}) << said;
  }
  EXPECT_EQ(lost, 0);
}

// 4. One run never names two outputs alike: two 16x16 8-bit images with
// --all-sizes, a language stored twice with --all-languages; JSON gives the
// names used, under every conflict rule.
TEST_F(CliFaults, OneRunNeverWritesOneNameTwice) {
  const Bytes a = MakeDib(16, 16, 8, 256), b = MakeDib(16, 16, 8, 256, 1);
  Bytes b2 = b;
  b2[200] ^= 0xFF;  // another picture of the same size and depth
  ASSERT_TRUE(WriteWholeFile(dir_.Path("two.dll"), OneGroupModule({a, b2})));
  ASSERT_TRUE(
      WriteWholeFile(dir_.Path("langs.dll"), OneGroupModule({kDib16}, "", {0x0409, 0x0409})));
  for (const char* rule : {"overwrite", "skip", "rename"}) {
    const std::string png = dir_.Path(std::string("png-") + rule);
    CliRun r = Cli({"extract", dir_.Path("two.dll"), "--format", "png", "--all-sizes", "-o", png,
                    "--on-conflict", rule, "--json"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(ListFolder(png),
              (std::vector<std::string>{"1-16x16-8bpp-2.png", "1-16x16-8bpp.png"}));
    EXPECT_NE(r.out.find("1-16x16-8bpp-2.png\""), std::string::npos) << r.out;
    Bytes first, second;
    ASSERT_TRUE(ReadWholeFile(png + "/1-16x16-8bpp.png", &first));
    ASSERT_TRUE(ReadWholeFile(png + "/1-16x16-8bpp-2.png", &second));
    EXPECT_NE(first, second);
    const std::string ico = dir_.Path(std::string("ico-") + rule);
    r = Cli(
        {"extract", dir_.Path("langs.dll"), "--all-languages", "-o", ico, "--on-conflict", rule});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(ListFolder(ico), (std::vector<std::string>{"1-0x0409-2.ico", "1-0x0409.ico"}));
    EXPECT_EQ(Lines(r.out), 2u) << r.out;
  }
}

// 5. A stored PNG that is not a whole, valid file is never written as it is:
// the picture is decoded and encoded again (the scratch folder's check
// fails the test on any invalid PNG left in it).
TEST_F(CliFaults, ABrokenStoredPngIsEncodedAgain) {
  RgbaImage image;
  image.width = image.height = 48;
  image.pixels.assign(48 * 48 * 4, 0x80);
  const PngEncodeResult good = EncodePng(image);
  ASSERT_TRUE(good.ok());
  Bytes broken = good.bytes;
  broken.insert(broken.end(), 1000, 'g');  // garbage after IEND
  ASSERT_TRUE(WriteWholeFile(dir_.Path("p.dll"), OneGroupModule({broken})));
  const CliRun r = Cli({"extract", dir_.Path("p.dll"), "--format", "png", "-o", dir_.Path("o")});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  Bytes written;
  ASSERT_TRUE(ReadWholeFile(dir_.Path("o") + "/1.png", &written));
  EXPECT_NE(written, broken);
  EXPECT_EQ(PngProblem(written), "");
}

// 6. --format bmp: the first DIB that decodes, else the largest PNG; hostile
// headers give bitmaps from decoded pixels; each file written is one that
// ImageMagick reads, every readable group gives one, and -q says nothing.
TEST_F(CliFaults, BitmapsAreAlwaysOnesReadersTake) {
  VANTORICO_REQUIRE_INPUT(std::system("convert -version > /dev/null 2>&1") == 0,
                          "needs ImageMagick");
  RgbaImage image;
  image.width = image.height = 256;
  image.pixels.assign(256 * 256 * 4, 0xC0);
  const PngEncodeResult png = EncodePng(image);
  ASSERT_TRUE(png.ok());
  const Bytes dib = MakeDib(32, 32, 8, 256);
  const auto patched = [&](size_t at, uint32_t value, bool wide) {
    Bytes b = dib;
    wide ? PutU32(&b, at, value) : PutU16(&b, at, static_cast<uint16_t>(value));
    return b;
  };
  const struct {
    const char* what;
    std::vector<Bytes> images;
    uint32_t width;
  } cases[] = {
      {"PNG first, then a DIB", {png.bytes, dib}, 32},
      {"PNG only", {png.bytes}, 256},
      {"0 planes", {patched(12, 0, false)}, 32},
      {"clrUsed 2^30", {patched(32, 1u << 30, true), dib}, 32},
      {"bit count 3 first", {patched(14, 3, false), dib}, 32},
      {"compression 0xFFFFFFFF first", {patched(16, 0xFFFFFFFF, true), dib}, 32},
      {"stored height 1 first", {patched(8, 1, true), dib}, 32},
  };
  std::vector<PeResource> resources;
  uint16_t next = 1;
  for (size_t g = 0; g < std::size(cases); ++g) {
    std::vector<std::pair<uint16_t, Bytes>> members;
    for (const Bytes& i : cases[g].images) {
      members.push_back({next, i});
      resources.push_back({3, "", next++, 0x0409, i});
    }
    resources.push_back(
        {14, "", static_cast<uint16_t>(g + 1), 0x0409, GroupDirectoryOf(members, false)});
  }
  ASSERT_TRUE(WriteWholeFile(dir_.Path("b.dll"), BuildPe(resources)));
  const std::string out = dir_.Path("bmp");
  const CliRun r = Cli({"extract", "-q", dir_.Path("b.dll"), "--format", "bmp", "-o", out});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out + r.err, "");
  for (size_t g = 0; g < std::size(cases); ++g) {
    const std::string file = out + "/" + std::to_string(g + 1) + ".bmp";
    Bytes bmp;
    ASSERT_TRUE(ReadWholeFile(file, &bmp)) << cases[g].what;
    EXPECT_EQ(LoadU32(bmp, 2), bmp.size()) << cases[g].what;
    EXPECT_EQ(LoadU32(bmp, 18), cases[g].width) << cases[g].what;
    EXPECT_EQ(LoadU16(bmp, 26), 1) << cases[g].what;  // planes
    const CliRun magick = Shell("convert " + Quoted(file) + " -format '%w' info:", dir_);
    EXPECT_EQ(magick.code, 0) << cases[g].what << magick.err;
    EXPECT_EQ(magick.out, std::to_string(cases[g].width)) << cases[g].what << magick.err;
  }
}

// 7. -r meets a folder with read but no search permission, run as an
// unprivileged user: each file it cannot reach is said and counted (exit 3),
// never passed over; a folder it cannot read at all likewise.
TEST_F(CliFaults, UnreachableFoldersAndFilesAreReported) {
  VANTORICO_REQUIRE_INPUT(geteuid() == 0 && std::system("setpriv --version > /dev/null 2>&1") == 0,
                          "needs root and setpriv to run as an unprivileged user");
  const std::string tree = dir_.Path("tree");
  ASSERT_TRUE(MakeDirectoryForTest(tree));
  ASSERT_TRUE(MakeDirectoryForTest(tree + "/noexec"));
  ASSERT_TRUE(MakeDirectoryForTest(tree + "/noread"));
  ASSERT_TRUE(WriteWholeFile(tree + "/noexec/a.dll", OneGroupModule({kDib16})));
  ASSERT_TRUE(WriteWholeFile(tree + "/noread/b.dll", OneGroupModule({kDib16})));
  ASSERT_TRUE(WriteWholeFile(tree + "/c.dll", OneGroupModule({kDib16})));
  ASSERT_EQ(chmod((tree + "/noexec").c_str(), 0744), 0);  // others: read, no search
  ASSERT_EQ(chmod((tree + "/noread").c_str(), 0711), 0);  // others: search, no read
  // The way down must be searchable by the user.
  for (std::string p = tree; p.size() > 1; p = p.substr(0, p.rfind('/'))) {
    struct stat st;
    if (stat(p.c_str(), &st) == 0) chmod(p.c_str(), st.st_mode | 0005);
  }
  chmod(module_.c_str(), 0644);
  const CliRun r = Shell("setpriv --reuid=65534 --regid=65534 --clear-groups " + Quoted(Program()) +
                             " list -r " + Quoted(tree),
                         dir_);
  EXPECT_EQ(r.code, kExitBadInput) << r.err;
  EXPECT_NE(r.err.find("cannot reach '" + tree + "/noexec/a.dll'"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("cannot read the folder '" + tree + "/noread'"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find(tree + "/c.dll\t1\t1"), std::string::npos) << r.out;
  chmod((tree + "/noexec").c_str(), 0755);
  chmod((tree + "/noread").c_str(), 0755);
}

// 7. A tree deeper than PATH_MAX is walked to its bottom and its file read.
TEST_F(CliFaults, ATreeDeeperThanPathMaxIsWalkedWhole) {
  const std::string root = dir_.Path("deep");
  ASSERT_TRUE(MakeDirectoryForTest(root));
  const std::string level(200, 'd');
  int fd = open(root.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  std::string path = root;
  while (path.size() < PATH_MAX + 1000) {
    ASSERT_EQ(mkdirat(fd, level.c_str(), 0755), 0);
    const int next = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    ASSERT_GE(next, 0);
    fd = next;
    path += "/" + level;
  }
  const Bytes module = OneGroupModule({kDib16});
  const int file = openat(fd, "z.dll", O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(file, 0);
  ASSERT_EQ(write(file, module.data(), module.size()), static_cast<ssize_t>(module.size()));
  close(file);
  close(fd);
  const CliRun r = Cli({"list", "-r", root});
  EXPECT_EQ(r.code, kExitOk) << r.err.substr(0, 300);
  EXPECT_EQ(r.out.rfind(path + "/z.dll\t1\t1\tlang 0x0409\t1 image", 0), 0u)
      << r.out.substr(0, 300);
  const CliRun x = Cli({"extract", "-r", root, "-o", dir_.Path("deep-out")});
  EXPECT_EQ(x.code, kExitOk) << x.err.substr(0, 300);
  EXPECT_TRUE(FileExists(dir_.Path("deep-out") + "/z.dll/1.ico"));
  // rm walks by descriptors; a path-based removal would stop at PATH_MAX.
  EXPECT_EQ(std::system(("rm -rf " + Quoted(root)).c_str()), 0);
}

// 7. A group whose text name is longer than 256 units keeps its place: the
// numbering is the module's, the name is shown cut and marked, and --name
// takes the whole name.
TEST_F(CliFaults, LongTextNamesKeepTheirGroups) {
  const std::string name(300, 'L');
  ASSERT_TRUE(WriteWholeFile(dir_.Path("long.dll"),
                             BuildPe({{14, name, 0, 0x0409, GroupDirectoryOf({{1, kDib16}}, false)},
                                      {14, "", 5, 0x0409, GroupDirectoryOf({{1, kDib16}}, false)},
                                      {3, "", 1, 0x0409, kDib16}})));
  CliRun r = Cli({"list", dir_.Path("long.dll")});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out, "1\t\"" + std::string(256, 'L') +
                       "\"...\tlang 0x0409\t1 image\t16x16 4-bit DIB " +
                       std::to_string(kDib16.size()) +
                       " bytes\n2\t5\tlang 0x0409\t1 image\t16x16 "
                       "4-bit DIB " +
                       std::to_string(kDib16.size()) + " bytes\n");
  r = Cli({"list", "--json", dir_.Path("long.dll")});
  EXPECT_NE(r.out.find("\"name\":\"" + std::string(256, 'L') + "\",\"name_cut\":true"),
            std::string::npos);
  r = Cli(
      {"extract", dir_.Path("long.dll"), "--name", std::string(300, 'l'), "-o", dir_.Path("o")});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(ListFolder(dir_.Path("o")), std::vector<std::string>{"1.ico"});
  EXPECT_EQ(Cli({"list", dir_.Path("long.dll"), "--name", std::string(256, 'L')}).code,
            kExitNothingToExtract);
}

// 8. find -print0 lists with --null; without it a NUL is refused clearly.
TEST_F(CliFaults, NulSeparatedListsNeedNull) {
  ASSERT_TRUE(WriteWholeFile(dir_.Path("b\nx.dll"), OneGroupModule({kDib16})));
  const std::string list = module_ + '\0' + dir_.Path("b\nx.dll") + '\0';
  ASSERT_TRUE(WriteWholeFile(dir_.Path("list0"), Bytes(list.begin(), list.end())));
  CliRun r = Cli({"list", "--null", "--files-from", dir_.Path("list0")});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(Lines(r.out), 2u) << r.out;
  EXPECT_NE(r.out.find("b\\nx.dll\t1"), std::string::npos) << r.out;  // escaped, one line
  r = Cli({"list", "-0", "--json", "--files-from", dir_.Path("list0")});
  EXPECT_NE(r.out.find("b\\u000ax.dll\""), std::string::npos) << r.out;
  r = Cli({"list", "--json", "--files-from", dir_.Path("list0")});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_NE(r.err.find("holds a NUL byte"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  const CliRun piped = Shell(
      "printf '%s\\0' " + Quoted(module_) + " | " + Quoted(Program()) + " list -0 --files-from -",
      dir_);
  EXPECT_EQ(piped.code, kExitOk) << piped.err;
  EXPECT_EQ(Lines(piped.out), 1u);
}

// 9. A file name with terminal controls reaches the terminal escaped, on
// standard output and standard error; JSON keeps it exactly.
TEST_F(CliFaults, ControlCharactersInPathsAreEscaped) {
  const std::string hostile = dir_.Path("e\x1b]0;PWNED\a\x1b[2J\t.dll");
  ASSERT_TRUE(WriteWholeFile(hostile, OneGroupModule({kDib16})));
  ASSERT_TRUE(WriteWholeFile(dir_.Path("x\x1b.dll"), Bytes{'h', 'i'}));
  CliRun r = Cli({"extract", hostile, dir_.Path("x\x1b.dll"), "-o", dir_.Path("o\x1bout")});
  EXPECT_EQ(r.code, kExitBadInput);
  for (const std::string& text : {r.out, r.err}) {
    EXPECT_EQ(text.find_first_of("\x1b\a\t"), std::string::npos) << text;
  }
  EXPECT_NE(r.out.find("e\\033]0;PWNED\\007\\033[2J\\t.dll"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("x\\033.dll"), std::string::npos) << r.err;
  r = Cli({"list", dir_.Path(""), "--include", "e*"});
  EXPECT_EQ(Lines(r.out), 1u);
  EXPECT_EQ(r.out.find_first_of("\x1b\a"), std::string::npos) << r.out;
  r = Cli({"list", "--json", hostile});
  EXPECT_NE(r.out.find("e\\u001b]0;PWNED\\u0007\\u001b[2J\\u0009.dll"), std::string::npos) << r.out;
}

// 10. Exit codes and numbers as the manual page says them.
TEST_F(CliFaults, ExitCodesAndNumbersMatchTheManual) {
  // Every group unreadable: list exits 3, as extract does.
  ASSERT_TRUE(
      WriteWholeFile(dir_.Path("broken.dll"),
                     BuildPe({{14, "", 1, 0x0409, GroupDirectoryOf({{9, kDib16}}, false)}})));
  for (const char* command : {"list", "extract"}) {
    std::vector<std::string> args = {command, dir_.Path("broken.dll"), "--json"};
    if (std::string(command) == "extract") args.insert(args.end(), {"-o", dir_.Path("o")});
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, kExitBadInput) << command;
    EXPECT_NE(r.out.find("\"status\":3"), std::string::npos) << r.out;
  }
  // Locations past any group name none, however large; blanks after the
  // comma as Windows takes them, but not in option values.
  for (const std::string tail : {",8", ",65536", ",-65536", ",99999999999", ",2147483647"}) {
    const CliRun r = Cli({"list", module_ + tail});
    EXPECT_EQ(r.code, kExitNothingToExtract) << tail << r.err;
    EXPECT_NE(r.err.find("has no group that " + tail + " names"), std::string::npos) << r.err;
  }
  EXPECT_EQ(Cli({"list", module_ + ", 0"}).code, kExitOk);
  for (const char* spaced : {" 16", "16 ", "+16"}) {
    EXPECT_EQ(Cli({"extract", module_, "--format", "png", "--size", spaced}).code, kExitUsage);
    EXPECT_EQ(Cli({"list", module_, "--id", spaced}).code, kExitUsage);
  }
  // PNG sizes of 2^31 and more are unsigned.
  ASSERT_TRUE(WriteWholeFile(dir_.Path("wide.dll"), OneGroupModule({MakePng(0x80000000u, 1)})));
  CliRun r = Cli({"list", dir_.Path("wide.dll")});
  EXPECT_NE(r.out.find("2147483648x1 32-bit PNG"), std::string::npos) << r.out;
  r = Cli({"list", "--json", dir_.Path("wide.dll")});
  EXPECT_NE(r.out.find("\"width\":2147483648,\"height\":1"), std::string::npos) << r.out;
}

// 11. The .mun file comes from the real folder: behind a link to System32,
// from a relative name inside it, through "."; in a walk a SystemResources
// that is a link is not followed out of the tree.
TEST_F(CliFaults, MunFilesComeFromTheRealFolder) {
  const Bytes iconless = BuildPe({{16, "", 1, 0x0409, Bytes(64, 1)}});
  const auto munWith = [&](const std::string& name) {
    return BuildPe({{14, name, 0, 0x0409, GroupDirectoryOf({{1, kDib16}}, false)},
                    {3, "", 1, 0x0409, kDib16}});
  };
  const std::string real = dir_.Path("real"), seen = dir_.Path("seen");
  for (const std::string& root : {real, seen}) {
    ASSERT_TRUE(MakeDirectoryForTest(root));
    ASSERT_TRUE(MakeDirectoryForTest(root + "/SystemResources"));
  }
  ASSERT_TRUE(MakeDirectoryForTest(real + "/System32"));
  ASSERT_TRUE(WriteWholeFile(real + "/System32/x.dll", iconless));
  ASSERT_TRUE(WriteWholeFile(real + "/SystemResources/x.dll.mun", munWith("REAL")));
  ASSERT_TRUE(WriteWholeFile(seen + "/SystemResources/x.dll.mun", munWith("SEEN")));
  ASSERT_EQ(symlink((real + "/System32").c_str(), (seen + "/System32").c_str()), 0);
  const std::string realMun = RealFolderPath(real) + "/SystemResources/x.dll.mun";
  for (const std::string& file :
       {seen + "/System32/x.dll", seen + "/System32/./x.dll", real + "/System32/./x.dll"}) {
    const CliRun r = Cli({"list", "--json", file});
    EXPECT_EQ(r.code, kExitOk) << file << r.err;
    EXPECT_NE(r.err.find("reading '" + realMun + "' instead"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("\"file\":\"" + realMun + "\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"name\":\"REAL\""), std::string::npos) << r.out;
  }
  const CliRun relative =
      Shell("cd " + Quoted(real + "/System32") + " && " + Quoted(Program()) + " list x.dll", dir_);
  EXPECT_EQ(relative.code, kExitOk) << relative.err;
  EXPECT_EQ(relative.out.rfind("1\t\"REAL\"", 0), 0u) << relative.out;
  // A walk: SystemResources as a link out of the tree is not followed.
  const std::string tree = dir_.Path("tree");
  ASSERT_TRUE(MakeDirectoryForTest(tree));
  ASSERT_TRUE(MakeDirectoryForTest(tree + "/System32"));
  ASSERT_TRUE(WriteWholeFile(tree + "/System32/x.dll", iconless));
  ASSERT_EQ(symlink((real + "/SystemResources").c_str(), (tree + "/SystemResources").c_str()), 0);
  CliRun r = Cli({"list", "-r", "--json", tree + "/System32"});
  EXPECT_EQ(r.out.find("redirected_from"), std::string::npos) << r.out;
  r = Cli({"list", "--json", tree + "/System32/x.dll"});  // named: the link is the user's
  EXPECT_NE(r.out.find("redirected_from"), std::string::npos) << r.out;
}

// 12. Smaller: list -r -q is silent about files without icons; an icon
// file's line has the same columns; a 4-byte RT_CURSOR gives no .cur.
TEST_F(CliFaults, SmallerFaults) {
  const std::string tree = dir_.Path("tree");
  ASSERT_TRUE(MakeDirectoryForTest(tree));
  ASSERT_TRUE(WriteWholeFile(tree + "/bare.dll", BuildPe({{16, "", 1, 0x0409, Bytes(64, 1)}})));
  ASSERT_TRUE(WriteWholeFile(tree + "/m.dll", OneGroupModule({kDib16})));
  ASSERT_TRUE(WriteWholeFile(tree + "/i.ico", MakeIconFile({kDib16})));
  for (const char* quiet : {"-q", "--quiet"}) {
    const CliRun r = Cli({"list", "-r", quiet, tree});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.err, "") << r.err;
    EXPECT_EQ(Lines(r.out), 2u);
  }
  const CliRun v = Cli({"list", "-v", tree});
  EXPECT_NE(v.err.find("bare.dll' has no icon groups"), std::string::npos) << v.err;
  EXPECT_NE(v.err.find("1 without icons"), std::string::npos) << v.err;
  const CliRun ico = Cli({"list", tree + "/i.ico"});
  EXPECT_EQ(ico.out,
            "1\t-\tlang -\t1 image\t16x16 4-bit DIB " + std::to_string(kDib16.size()) + " bytes\n");
  ASSERT_TRUE(WriteWholeFile(
      dir_.Path("cur.dll"), BuildPe({{1, "", 1, 0x0409, Bytes{1, 0, 2, 0}},
                                     {12, "", 1, 0x0409, GroupDirectoryOf({{1, kDib16}}, true)}})));
  const CliRun cur =
      Cli({"extract", "--type", "cursor", dir_.Path("cur.dll"), "-o", dir_.Path("c")});
  EXPECT_EQ(cur.code, kExitBadInput) << cur.err;
  EXPECT_NE(cur.err.find("cursor group 1 cannot be read"), std::string::npos) << cur.err;
  EXPECT_FALSE(FileExists(dir_.Path("c") + "/1.cur"));
}

}  // namespace
}  // namespace vantorico

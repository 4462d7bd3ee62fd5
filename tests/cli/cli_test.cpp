// The command-line extractor, run in process through RunCli.
#ifdef _WIN32
#include <winerror.h>
#endif

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <string>

#include "cli/cli_app.h"
#include "cli/file_seam.h"
#include "cli/list_command.h"
#ifdef VANTORICO_HAVE_PNG
#include "iconlib/images/png_codec.h"
#endif
#include "iconlib/command/extract_file_icon.h"
#include "iconlib/formats/icon_group_reader.h"
#include "iconlib/images/icon_hashes.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/png_header.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

// The system's code for a full disk, whose text the run must show.
#ifdef _WIN32
constexpr int kDiskFullCode = ERROR_DISK_FULL;
#else
constexpr int kDiskFullCode = ENOSPC;
#endif

struct CliRun {
  int code;
  std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args) {
  CliRun r;
  r.code = RunCli(args, &r.out, &r.err);
  return r;
}

size_t Lines(const std::string& s) {
  size_t n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

// Finds the root directory's RT_GROUP_ICON entry (right after RT_ICON's) and
// renames it, leaving a module without icon groups.
Bytes WithoutGroups(Bytes b) {
  for (size_t i = 0; i + 16 <= b.size(); ++i) {
    if (LoadU32(b, i) == 3 && (b[i + 7] & 0x80) && LoadU32(b, i + 8) == 14 && (b[i + 15] & 0x80)) {
      PutU32(&b, i + 8, 15);
      return b;
    }
  }
  ADD_FAILURE() << "no root directory found";
  return b;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = TestModulePath(false);
    VANTORICO_REQUIRE_INPUT(!module_.empty(), "test modules were not built");
  }
  std::string module_;
};

TEST_F(CliTest, HelpAndVersion) {
  CliRun r = Cli({"--help"});
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("vantorico extract [OPTIONS] FILE..."), std::string::npos);
  EXPECT_NE(r.out.find("  4  some output could not be written"), std::string::npos);
  r = Cli({"--version"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.rfind("vantorico ", 0), 0u);
}

// The document of `list --json` is made without printing (for callers that
// are not the command line), and the command prints that same document.
TEST_F(CliTest, ListDocumentIsWhatListJsonPrints) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"list", "--json", "--lang", "0x0409", module_},
           {"list", "--json", "--lang", "0x0804", "--type", "all", "--index", "2", module_},
           {"list", "--json", "--index", "99", module_}}) {
    const CliRun r = Cli(args);
    Options o;
    ASSERT_EQ(ParseOptions(args, &o), "");
    OpenedSource opened = IconSource::OpenReadFile(module_.c_str(), ReadSource(module_));
    ASSERT_TRUE(opened.source);
    opened.source->module()->SetLanguageOrder(UserLanguageOrder(o.language));
    EXPECT_EQ(ListDocument(o, *opened.source, module_, "", o.selectors) + "\n", r.out) << r.err;
  }
}

// -j takes a number of sources from 1 to 64, in either spelling.
TEST_F(CliTest, JobsTakeANumberFromOneTo64) {
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"-j", "0"}, {"-j", "65"}, {"-j", "x"}, {"--jobs=-1"}, {"--jobs"}}) {
    std::vector<std::string> args = {"list", module_};
    args.insert(args.end(), bad.begin(), bad.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, kExitUsage) << bad[0];
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
  }
  const CliRun one = Cli({"list", module_});
  for (const std::vector<std::string>& good :
       std::vector<std::vector<std::string>>{{"-j", "1"}, {"--jobs=64"}, {"--jobs", "3"}}) {
    std::vector<std::string> args = {"list", module_, module_};
    args.insert(args.end(), good.begin(), good.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, one.code) << good[0] << r.err;
    EXPECT_EQ(Lines(r.out), 2 * Lines(one.out)) << good[0];
  }
}

// help is a command; --help and --version take nothing after them; a file
// given where the command goes is refused with the two commands to use.
TEST_F(CliTest, HelpCommandAndAMissingCommand) {
  const CliRun help = Cli({"--help"});
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"help"}, {"help", "list"}, {"help", "extract"}}) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, kExitOk) << args.size();
    EXPECT_EQ(r.out, help.out);
    EXPECT_EQ(r.err, "");
  }
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--version", "extra"},
                                             {"--help", module_},
                                             {"help", "frobnicate"},
                                             {"help", "list", "x"}}) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, kExitUsage) << args[0] << " " << args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
  }
  const CliRun named = Cli({module_});
  EXPECT_EQ(named.code, kExitUsage);
  EXPECT_EQ(named.err, "vantorico: unknown command '" + module_ +
                           "'; to read that file: vantorico list '" + module_ +
                           "' or vantorico extract '" + module_ + "'\n");
  // No file of that name: no hint.
  const CliRun r = Cli({module_ + ".absent"});
  EXPECT_EQ(r.code, kExitUsage);
  EXPECT_EQ(r.err.find("to read that file"), std::string::npos) << r.err;
}

TEST_F(CliTest, UsageErrorsExitTwoWithOneLine) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"list"},
      {"extract", module_, "--format", "gif"},
      {"extract", module_, "-o"},
      {"list", module_, "--bogus"},
      {"list", module_, "--json=1"},
      {"list", module_, "-o", "x"},
      {"list", module_, "--index", "0"},
      {"list", module_, "--index", "x"},
      {"list", module_, "--id", "70000"},
      {"list", module_, "--name"},
      {"list", module_, "--type", "bitmap"},
      {"list", module_, "--lang", "zh"},
      {"list", module_, "--lang", "0x10000"},
      {"list", module_, "--json", "--jsonl"},
      {"extract", module_, "--on-conflict", "ask"},
      {"extract", module_, "--exact-images", "--format", "bmp"},
      {"list", module_, "--exact-images"},
      {"extract", module_, "--hashes"},
      {"list", "--index", "1"}};
  for (const auto& args : bad) {
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
}

// --hashes: each image's digests of its stored bytes (here as md5sum and
// sha256sum print them for the two images of tests/data/with_png.ico), and
// the SHA-256 of each file extract writes.
TEST(CliHashes, ImagesAndWrittenFiles) {
  const std::string ico =
      PlatformPath(std::string(VANTORICO_SOURCE_DIR) + "/tests/data/with_png.ico");
  const char* const md5[] = {"0a6844d3338a1b69625d49f2cb035a16",
                             "b7eeefe2273234b4ca2707e47357f42c"};
  const char* const sha256[] = {"0fee36f968d34d389a88c20a21091da10c4b95c07f06cec5e07ef050a8d2d720",
                                "15f879852dccf38b47346c189776be537f82181251b0061a175e4f57fcdbe59f"};
  const CliRun text = Cli({"list", "--hashes", ico});
  ASSERT_EQ(text.code, 0) << text.err;
  const CliRun json = Cli({"list", "--hashes", "--json", ico});
  ASSERT_EQ(json.code, 0) << json.err;
  for (int k = 0; k < 2; ++k) {
    EXPECT_NE(text.out.find(std::string(" md5 ") + md5[k] + " sha256 " + sha256[k]),
              std::string::npos)
        << text.out;
    EXPECT_NE(
        json.out.find(std::string("\"md5\":\"") + md5[k] + "\",\"sha256\":\"" + sha256[k] + "\""),
        std::string::npos)
        << json.out;
  }
  EXPECT_EQ(Cli({"list", ico}).out.find(" md5 "), std::string::npos);

  ScratchDir dir("cli_hashes");
  const CliRun r =
      Cli({"extract", "--hashes", "--json", "--exact-images", ico, "-o", dir.Path("")});
  ASSERT_EQ(r.code, 0) << r.err;
  Bytes written;
  ASSERT_TRUE(ReadWholeFile(dir.Path("1.ico"), &written));
  const std::string file_sha = DigestText(Sha256Of(ByteSpan(written.data(), written.size())));
  EXPECT_NE(r.out.find("\"sha256\":\"" + file_sha + "\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(std::string("\"md5\":\"") + md5[1]), std::string::npos) << r.out;
}

// Group 7 cannot be read: its line says so, and so does the status (3), as
// for extract.
TEST_F(CliTest, ListsGroupsInOrder) {
  CliRun r = Cli({"list", module_});
  ASSERT_EQ(r.code, kExitBadInput) << r.err;
  EXPECT_NE(r.err.find("1 of 7 groups cannot be read"), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.out), 7u);
  EXPECT_EQ(r.out.rfind("1\t\"APPLE\"\tlang 0x0409\t1 image\t32x32 1-bit DIB 304 bytes\n", 0), 0u);
  EXPECT_NE(r.out.find("256x256 32-bit PNG"), std::string::npos);
  EXPECT_NE(r.out.find("7\t9\tlang 0x0409\tunreadable"), std::string::npos);
  r = Cli({"list", "--json", module_});
  ASSERT_EQ(r.code, kExitBadInput);
  EXPECT_NE(r.out.find("\"status\":3"), std::string::npos);
  EXPECT_EQ(r.out.front(), '{');
  EXPECT_NE(
      r.out.find("{\"type\":\"icon\",\"index\":2,\"name\":\"MAINICON\",\"language\":\"0x0409\""),
      std::string::npos);
  EXPECT_NE(r.out.find("\"format\":\"PNG\""), std::string::npos);
}

TEST_F(CliTest, FileKindComesFromContent) {
  ScratchDir dir("cli_kind");
  Bytes b;
  ASSERT_TRUE(ReadWholeFile(module_, &b));
  ASSERT_TRUE(WriteWholeFile(dir.Path("panel.cpl"), b));
  ASSERT_TRUE(WriteWholeFile(dir.Path("noext"), MakeIconFile({MakeDib(16, 16, 4, 16)})));
  ASSERT_TRUE(WriteWholeFile(dir.Path("text.dll"), Bytes{'h', 'e', 'l', 'l', 'o'}));
  EXPECT_EQ(Cli({"list", dir.Path("panel.cpl")}).code, kExitBadInput);  // its group 7
  const CliRun ico = Cli({"list", dir.Path("noext")});
  EXPECT_EQ(ico.code, 0);
  EXPECT_EQ(Lines(ico.out), 1u);
  const CliRun text = Cli({"list", dir.Path("text.dll")});
  EXPECT_EQ(text.code, kExitBadInput);
  EXPECT_NE(text.err.find("not a program file"), std::string::npos);
  EXPECT_EQ(Cli({"list", dir.Path("absent.dll")}).code, kExitBadInput);
}

// No groups: nothing to extract (1); a damaged icon file: bad input (3).
TEST_F(CliTest, NothingToExtractAndDamagedInputExitCodes) {
  ScratchDir dir("cli_nothing");
  Bytes b;
  ASSERT_TRUE(ReadWholeFile(module_, &b));
  ASSERT_TRUE(WriteWholeFile(dir.Path("bare.dll"), WithoutGroups(b)));
  Bytes broken = MakeIconFile({MakeDib(16, 16, 4, 16)});
  broken.resize(100);
  ASSERT_TRUE(WriteWholeFile(dir.Path("broken.ico"), broken));
  const struct {
    const char* leaf;
    int code;
  } cases[] = {{"bare.dll", kExitNothingToExtract}, {"broken.ico", kExitBadInput}};
  for (const auto& c : cases) {
    EXPECT_EQ(Cli({"list", dir.Path(c.leaf)}).code, c.code) << c.leaf;
    const CliRun r = Cli({"extract", dir.Path(c.leaf), "-o", dir.Path("")});
    EXPECT_EQ(r.code, c.code) << c.leaf << r.err;
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_FALSE(FileExists(dir.Path("1.ico")));
}

TEST_F(CliTest, ExtractWritesWhatTheToolsLoopWrites) {
  ScratchDir cli("cli_extract"), loop("cli_loop");
  ASSERT_TRUE(WriteWholeFile(cli.Path("1.ico"), Bytes(10, 1)));    // replaced
  ASSERT_TRUE(WriteWholeFile(cli.Path("keep.txt"), Bytes(3, 2)));  // never touched
  ASSERT_TRUE(WriteWholeFile(cli.Path("7.ico"), Bytes(3, 2)));     // unreadable group: untouched
  const CliRun r = Cli({"extract", module_, "-o", cli.Path("")});
  // Group 7 cannot be read, so not everything asked for was written.
  ASSERT_EQ(r.code, kExitBadInput) << r.err;
  // Group 5 has no images: nothing to extract, not an empty file.
  EXPECT_EQ(Lines(r.out), 5u);
  EXPECT_NE(r.err.find("group 5 has no images"), std::string::npos);
  EXPECT_NE(r.err.find("group 7 cannot be read"), std::string::npos);
  EXPECT_FALSE(FileExists(cli.Path("5.ico")));
  for (int32_t i = 1; i <= MaxIconGroups; ++i) {
    ArgSlot result{};
    const std::string out = loop.Path(std::to_string(i) + ".ico");
    ArgSlot args[4] = {TextSlot(module_.c_str()), IntSlot(ExtractToFile), TextSlot(out.c_str()),
                       IntSlot(i)};
    ExtractFileIcon(&result, 4, args);
  }
  for (int i : {1, 2, 3, 4, 6}) {
    Bytes a, b;
    ASSERT_TRUE(ReadWholeFile(cli.Path(std::to_string(i) + ".ico"), &a)) << i;
    ASSERT_TRUE(ReadWholeFile(loop.Path(std::to_string(i) + ".ico"), &b)) << i;
    EXPECT_EQ(a, b) << i;
  }
  Bytes keep;
  ASSERT_TRUE(ReadWholeFile(cli.Path("keep.txt"), &keep));
  EXPECT_EQ(keep, Bytes(3, 2));
  ASSERT_TRUE(ReadWholeFile(cli.Path("7.ico"), &keep));
  EXPECT_EQ(keep, Bytes(3, 2));
}

TEST_F(CliTest, ExtractsBitmapsOfFirstImages) {
  ScratchDir dir("cli_bmp");
  const CliRun r = Cli({"extract", module_, "--format=bmp", "-o", dir.Path("")});
  ASSERT_EQ(r.code, kExitBadInput) << r.err;
  // Group 5 is empty and group 9 unreadable; the rest have a DIB first image.
  EXPECT_EQ(Lines(r.out), 5u);
  Bytes bmp;
  ASSERT_TRUE(ReadWholeFile(dir.Path("2.bmp"), &bmp));
  EXPECT_EQ(bmp.size(), 54u + 64 + 8 * 16);
  EXPECT_FALSE(FileExists(dir.Path("5.bmp")));
}

// -o makes every missing level; a file where a folder must be is reported.
TEST_F(CliTest, EveryMissingLevelOfTheOutputFolderIsMade) {
  ScratchDir dir("cli_nodir");
  const std::string sep(1, PathSeparator());
  const CliRun made = Cli({"extract", module_, "-o", dir.Path("new")});
  EXPECT_EQ(made.code, kExitBadInput) << made.err;  // group 7 of the test module
  EXPECT_TRUE(FileExists(dir.Path("new") + sep + "1.ico"));
  const std::string deep = dir.Path("absent") + sep + "deeper" + sep + "still" + sep;
  const CliRun r = Cli({"extract", module_, "-o", deep});
  EXPECT_EQ(r.code, kExitBadInput) << r.err;
  EXPECT_TRUE(FileExists(deep + "1.ico"));
  ASSERT_TRUE(WriteWholeFile(dir.Path("plain"), Bytes(3, 1)));
  const CliRun f = Cli({"extract", module_, "-o", dir.Path("plain") + sep + "below"});
  EXPECT_EQ(f.code, kExitOutputFailed);
  EXPECT_NE(f.err.find("cannot create output directory"), std::string::npos) << f.err;
}

// The source is never replaced, whatever output name it has.
TEST_F(CliTest, ASourceNamedLikeAnOutputIsNeverTouched) {
  ScratchDir dir("cli_source_named");
  const Bytes icon = MakeIconFile({MakeDib(16, 16, 4, 16)});
  ASSERT_TRUE(WriteWholeFile(dir.Path("1.ico"), icon));
  Bytes module;
  ASSERT_TRUE(ReadWholeFile(module_, &module));
  ASSERT_TRUE(WriteWholeFile(dir.Path("3.ico"), module));  // a program file named 3.ico
  const struct {
    const char* source;
    Bytes original;
    size_t written;
  } cases[] = {{"1.ico", icon, 0}, {"3.ico", module, 4}};
  for (const auto& c : cases) {
    const CliRun r = Cli({"extract", dir.Path(c.source), "-o", dir.Path("")});
    EXPECT_EQ(r.code, kExitOutputFailed) << c.source;
    EXPECT_NE(r.err.find("it is the file being extracted"), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.out), c.written) << c.source;
    Bytes now;
    ASSERT_TRUE(ReadWholeFile(dir.Path(c.source), &now));
    EXPECT_EQ(now, c.original) << c.source;
  }
}

// A full disk: the run says so and exits 4; every file of an output name is
// either as it was or complete, and nothing half-written is left. Under Wine
// the disk is a real tmpfs too, met through the Windows file calls.
TEST_F(CliTest, AFullDiskIsReportedAndKeepsPreviousFiles) {
  const std::string wine = WinePeDir(false);
  VANTORICO_REQUIRE_INPUT(!wine.empty(), "Wine's files are not installed");
  SmallTmpfs disk("cli_full", 64 * 1024);
  VANTORICO_REQUIRE_INPUT(disk.mounted(), "needs root to mount a tmpfs");
  const auto on_disk = [&](const std::string& leaf) {
    return disk.path() + PathSeparator() + leaf;
  };
  const Bytes previous(100, 'p');
  for (int i = 1; i <= 10; ++i) {
    ASSERT_TRUE(WriteWholeFile(on_disk(std::to_string(i) + ".ico"), previous));
  }
  ScratchDir whole("cli_full_reference");
  const std::string shell32 = wine + "/shell32.dll";
  ASSERT_EQ(Cli({"extract", shell32, "-o", whole.Path("")}).code, kExitOk);
  const CliRun r = Cli({"extract", shell32, "-o", disk.path()});
  EXPECT_EQ(r.code, kExitOutputFailed);
  EXPECT_NE(r.err.find(ErrorText(SystemError{kDiskFullCode, ErrorKind::DiskFull})),
            std::string::npos)
      << r.err;
  size_t listed = 0;
  for (int i = 1; i <= 184; ++i) {
    const std::string leaf = std::to_string(i) + ".ico";
    Bytes got, want;
    ASSERT_TRUE(ReadWholeFile(whole.Path(leaf), &want));
    const bool said = r.out.find(on_disk(leaf) + "\n") != std::string::npos;
    listed += said;
    if (!ReadWholeFile(on_disk(leaf), &got)) {
      EXPECT_FALSE(said) << leaf;
      EXPECT_GT(i, 10) << leaf;
      continue;
    }
    if (said) {
      EXPECT_EQ(got, want) << leaf;
    } else {
      EXPECT_EQ(got, previous) << leaf;
    }
  }
  EXPECT_EQ(listed, Lines(r.out));
  for (const std::string& name : ListFolder(disk.path())) {
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
  }
}

// A folder that cannot be written (a read-only mount; the tests run as root,
// whom permissions do not stop): exit 4, the reason named, nothing listed and
// the file already there as it was.
TEST_F(CliTest, AReadOnlyFolderIsReportedAndKeepsItsFiles) {
  SmallTmpfs disk("cli_read_only", 64 * 1024);
  VANTORICO_REQUIRE_INPUT(disk.mounted(), "needs root to mount a tmpfs");
  const std::string output = disk.path() + PathSeparator() + "1.ico";
  const Bytes previous(100, 'p');
  ASSERT_TRUE(WriteWholeFile(output, previous));
  ASSERT_TRUE(disk.MakeReadOnly());
  const CliRun r = Cli({"extract", module_, "-o", disk.path()});
  EXPECT_EQ(r.code, kExitOutputFailed);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
  EXPECT_EQ(Lines(r.out), 0u) << r.out;
  Bytes now;
  ASSERT_TRUE(ReadWholeFile(output, &now));
  EXPECT_EQ(now, previous);
}

#ifndef _WIN32
// Two runs into one folder at once both finish with complete files.
TEST_F(CliTest, ConcurrentRunsIntoOneFolderBothFinish) {
  ScratchDir dir("cli_concurrent");
  const std::string cli = std::string(VANTORICO_BINARY_DIR) + "/cli/vantorico";
  const std::string run =
      "'" + cli + "' extract '" + module_ + "' -o '" + dir.Path("") + "' >/dev/null 2>&1";
  for (int round = 0; round < 5; ++round) {
    const std::string both = "(" + run + "; echo $? > '" + dir.Path("a.rc") + "') & (" + run +
                             "; echo $? > '" + dir.Path("b.rc") + "'); wait";
    ASSERT_EQ(std::system(both.c_str()), 0);
    for (const char* rc : {"a.rc", "b.rc"}) {
      Bytes code;
      ASSERT_TRUE(ReadWholeFile(dir.Path(rc), &code));
      EXPECT_EQ(std::string(code.begin(), code.end()), "3\n") << rc;  // group 7 of the module
    }
  }
  ScratchDir alone("cli_concurrent_alone");
  ASSERT_EQ(Cli({"extract", module_, "-o", alone.Path("")}).code, kExitBadInput);
  for (int i : {1, 2, 3, 4, 6}) {
    Bytes a, b;
    ASSERT_TRUE(ReadWholeFile(dir.Path(std::to_string(i) + ".ico"), &a));
    ASSERT_TRUE(ReadWholeFile(alone.Path(std::to_string(i) + ".ico"), &b));
    EXPECT_EQ(a, b) << i;
  }
}
#endif

#ifdef VANTORICO_HAVE_PNG
// Pictures of a group: the best image as it is, one size scaled to, or every
// image by its size and depth; each file reads back as a PNG of that size.
TEST_F(CliTest, PngExportWritesPicturesOfTheAskedSize) {
  ScratchDir dir("cli_png");
  const struct {
    std::vector<std::string> options;
    std::string leaf;
    uint32_t size;
  } cases[] = {
      {{"--best"}, "2.png", 32},
      {{"--size", "16"}, "2.png", 16},
      {{"--size=24"}, "2.png", 24},
      {{"--all-sizes"}, "2-16x16-4bpp.png", 16},
      {{"--all-sizes"}, "2-32x32-32bpp.png", 32},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"extract",  module_, "--index", "2",
                                     "--format", "png",   "-o",      dir.Path("")};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun r = Cli(args);
    ASSERT_EQ(r.code, kExitOk) << r.err;
    Bytes png;
    ASSERT_TRUE(ReadWholeFile(dir.Path(c.leaf), &png)) << c.leaf;
    const PngDecodeResult decoded = DecodePng(ByteSpan(png.data(), png.size()));
    ASSERT_TRUE(decoded.ok()) << c.leaf;
    EXPECT_EQ(decoded.image.width, c.size) << c.options[0];
    EXPECT_EQ(decoded.image.height, c.size) << c.options[0];
  }
  EXPECT_EQ(Cli({"extract", module_, "--size", "16", "-o", dir.Path("")}).code, kExitUsage);
}
#endif

// Wine's shell32.dll: 184 files whose images are the raw resources, with
// biSizeImage cleared in DIB images only.
TEST(CliWine, Shell32ImagesEqualTheRawResources) {
  const std::string wine = WinePeDir(false);
  VANTORICO_REQUIRE_INPUT(!wine.empty(), "Wine's files are not installed");
  const std::string shell32 = PlatformPath(wine + "/shell32.dll");
  ScratchDir dir("cli_shell32");
  const CliRun r = Cli({"extract", shell32, "-o", dir.Path("")});
  ASSERT_EQ(r.code, 0) << r.err;
  ASSERT_EQ(Lines(r.out), 184u);
  auto module = OpenPortableModule(shell32.c_str());
  ASSERT_NE(module, nullptr);
  size_t png = 0;
  for (int32_t i = 1; i <= 184; ++i) {
    Bytes ico;
    ASSERT_TRUE(ReadWholeFile(dir.Path(std::to_string(i) + ".ico"), &ico));
    const IconGroupLocation at = LocateIconGroup(*module, i);
    ByteSpan group;
    ASSERT_TRUE(module->FindResourceBytes(at.name, kResourceTypeGroupIcon, &group));
    const Bytes dir_bytes(group.data(), group.data() + group.size());
    const uint16_t n = LoadU16(dir_bytes, 4);
    ASSERT_EQ(LoadU16(ico, 4), n);
    for (uint16_t k = 0; k < n; ++k) {
      ResourceName id;
      id.id = LoadU16(dir_bytes, 6 + 14 * k + 12);
      ByteSpan raw;
      ASSERT_TRUE(module->FindResourceBytes(id, kResourceTypeIcon, &raw));
      Bytes want(raw.data(), raw.data() + raw.size());
      const bool is_png = IsPngImage(raw);
      png += is_png;
      if (!is_png) PutU32(&want, 20, 0);
      const uint32_t size = LoadU32(ico, 6 + 16 * k + 8), offset = LoadU32(ico, 6 + 16 * k + 12);
      ASSERT_EQ(size, want.size());
      EXPECT_EQ(Bytes(ico.begin() + offset, ico.begin() + offset + size), want) << i << "/" << k;
    }
  }
  EXPECT_GT(png, 0u);
}

#ifndef _WIN32
// icoutils as a peer: wrestool's groups hold the same images as ours (with
// biSizeImage 0 in DIBs), and --exact-images writes each image as the raw
// RT_ICON resource wrestool pulls out, byte for byte.
TEST(CliWine, Shell32MatchesWrestool) {
  const std::string wine = WinePeDir(false);
  VANTORICO_REQUIRE_INPUT(!wine.empty() && std::system("wrestool --version > /dev/null 2>&1") == 0,
                          "needs Wine's files and icoutils");
  ScratchDir ours("cli_peer_ours"), theirs("cli_peer_wrestool");
  const std::string shell32 = wine + "/shell32.dll";
  ScratchDir exact("cli_peer_exact"), raw("cli_peer_raw");
  ASSERT_EQ(Cli({"extract", shell32, "-o", ours.Path("")}).code, 0);
  ASSERT_EQ(Cli({"extract", "--exact-images", shell32, "-o", exact.Path("")}).code, 0);
  const std::string command = "wrestool -x -t 14 -o '" + theirs.Path("") + "' '" + shell32 +
                              "' 2>/dev/null && " + "wrestool -x --raw -t 3 -o '" + raw.Path("") +
                              "' '" + shell32 + "' 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  auto module = OpenPortableModule(shell32.c_str());
  ASSERT_NE(module, nullptr);
  int compared = 0;
  for (int32_t i = 1; i <= 184; ++i) {
    const IconGroupLocation at = LocateIconGroup(*module, i);
    const std::string name = at.name.isText ? at.name.text : std::to_string(at.name.id);
    Bytes mine, peer, exact_ico;
    ASSERT_TRUE(ReadWholeFile(ours.Path(std::to_string(i) + ".ico"), &mine));
    ASSERT_TRUE(ReadWholeFile(exact.Path(std::to_string(i) + ".ico"), &exact_ico));
    ByteSpan group;
    ASSERT_TRUE(module->FindResourceBytes(at.name, kResourceTypeGroupIcon, &group));
    const Bytes dir_bytes(group.data(), group.data() + group.size());
    ASSERT_EQ(LoadU16(exact_ico, 4), LoadU16(dir_bytes, 4)) << name;
    for (uint16_t k = 0; k < LoadU16(dir_bytes, 4); ++k) {
      const uint16_t id = LoadU16(dir_bytes, 6 + 14 * k + 12);
      Bytes stored;
      ASSERT_TRUE(ReadWholeFile(raw.Path("shell32.dll_3_" + std::to_string(id) + "_0"), &stored));
      const uint32_t size = LoadU32(exact_ico, 6 + 16 * k + 8);
      const uint32_t offset = LoadU32(exact_ico, 6 + 16 * k + 12);
      ASSERT_LE(size_t{offset} + size, exact_ico.size());
      EXPECT_EQ(Bytes(exact_ico.begin() + offset, exact_ico.begin() + offset + size), stored)
          << name << "/" << k;
      // The directory is the default file's: only image bytes differ.
      EXPECT_EQ(Bytes(exact_ico.begin() + 6 + 16 * k, exact_ico.begin() + 6 + 16 * k + 16),
                Bytes(mine.begin() + 6 + 16 * k, mine.begin() + 6 + 16 * k + 16));
    }
    // wrestool names its files after group name and language.
    if (!ReadWholeFile(theirs.Path("shell32.dll_14_" + name + "_0.ico"), &peer)) continue;
    ASSERT_EQ(LoadU16(mine, 4), LoadU16(peer, 4)) << name;
    for (uint16_t k = 0; k < LoadU16(mine, 4); ++k) {
      Bytes a(mine.begin() + LoadU32(mine, 6 + 16 * k + 12),
              mine.begin() + LoadU32(mine, 6 + 16 * k + 12) + LoadU32(mine, 6 + 16 * k + 8));
      Bytes b(peer.begin() + LoadU32(peer, 6 + 16 * k + 12),
              peer.begin() + LoadU32(peer, 6 + 16 * k + 12) + LoadU32(peer, 6 + 16 * k + 8));
      if (b.size() >= 40 && !IsPngImage(ByteSpan(b.data(), b.size()))) PutU32(&b, 20, 0);
      EXPECT_EQ(a, b) << name << "/" << k;
    }
    ++compared;
  }
  EXPECT_EQ(compared, 184);
}
#endif

}  // namespace
}  // namespace vantorico

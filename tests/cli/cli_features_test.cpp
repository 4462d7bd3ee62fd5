// The command line's selection, language choice, cursors, .mun
// redirection, batches and JSON documents, over PE files built here.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <string>

#include "cli/cli_app.h"
#include "cli_run.h"
#include "cli/file_seam.h"
#include "iconlib/formats/cursor_resources.h"
#include "pe_builder.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

const Bytes kEnglishDib = MakeDib(16, 16, 4, 16);
const Bytes kChineseDib = MakeDib(32, 32, 4, 16);
const Bytes kCursorA = MakeDib(32, 32, 1, 2);
const Bytes kCursorB = MakeDib(48, 48, 4, 16);

// Icon groups "LOGO" (en-US and zh-CN, each naming RT_ICON 1 of its own
// language) and 5; cursor group "POINTER" (hotspots 3,5 and 7,9); an
// animated cursor and an animated icon.
std::vector<PeResource> FullResources(const std::string& logo = "LOGO") {
  return {
      {14, logo, 0, 0x0409, GroupDirectoryOf({{1, kEnglishDib}}, false)},
      {14, logo, 0, 0x0804, GroupDirectoryOf({{1, kChineseDib}}, false)},
      {14, "", 5, 0x0409, GroupDirectoryOf({{2, MakeDib(48, 48, 8, 256)}}, false)},
      {3, "", 1, 0x0409, kEnglishDib},
      {3, "", 1, 0x0804, kChineseDib},
      {3, "", 2, 0x0409, MakeDib(48, 48, 8, 256)},
      {1, "", 10, 0x0409, CursorResource(3, 5, kCursorA)},
      {1, "", 11, 0x0409, CursorResource(7, 9, kCursorB)},
      {12, "POINTER", 0, 0x0409, GroupDirectoryOf({{10, kCursorA}, {11, kCursorB}}, true)},
      {21, "", 1, 0x0409, AnimatedCursorBytes(1)},
      {22, "", 1, 0x0409, AnimatedCursorBytes(50)},
  };
}

// A module with resources but no icon groups.
Bytes IconlessModule() {
  return BuildPe({{16, "", 1, 0x0409, Bytes(64, 1)}});
}

std::set<std::string> Leaves(const std::string& dir) {
  std::set<std::string> out;
#ifndef _WIN32
  if (!FileExists(dir)) return out;
  for (const std::string& n : ListFolder(dir)) out.insert(n);
#else
  (void)dir;
#endif
  return out;
}

#ifndef _WIN32
// Loads JSON (a document, or one per line with lines) with Python's parser
// and prints expr of each (d); the text printed, or "INVALID".
std::string PythonJson(const std::string& json, const std::string& expr, bool lines,
                       const ScratchDir& dir) {
  // The system's interpreter when there is one: it starts quickest.
  const std::string python = FileExists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  if (std::system((python + " -c '' 2>/dev/null").c_str()) != 0) return "NO PYTHON";
  WriteWholeFile(dir.Path("doc.json"), Bytes(json.begin(), json.end()));
  const std::string load =
      lines ? "docs=[json.loads(l) for l in open(sys.argv[1],encoding='utf-8',"
              "errors='surrogateescape')]"
            : "docs=[json.load(open(sys.argv[1],encoding='utf-8',errors='surrogateescape'))]";
  const std::string script = "import json,sys\n" + load +
                             "\nfor d in docs: sys.stdout.buffer.write((str(" + expr +
                             ")+'\\n').encode('utf-8','surrogateescape'))\n";
  WriteWholeFile(dir.Path("check.py"), Bytes(script.begin(), script.end()));
  const std::string command = python + " '" + dir.Path("check.py") + "' '" + dir.Path("doc.json") +
                              "' > '" + dir.Path("py.out") + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return "INVALID";
  Bytes out;
  ReadWholeFile(dir.Path("py.out"), &out);
  return Text(out);
}
#endif

class CliFeatures : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(WriteWholeFile(dir_.Path("m.dll"), BuildPe(FullResources())));
    module_ = dir_.Path("m.dll");
  }
  // One folder per test: ctest runs the tests in parallel processes.
  ScratchDir dir_{std::string("cli_features_") +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name()};
  std::string module_;
};

TEST_F(CliFeatures, SelectorsTakeTheGroupsTheyName) {
  // A file whose whole name looks like an icon location is that file.
  ASSERT_TRUE(WriteWholeFile(dir_.Path("odd.dll,1"), BuildPe(FullResources())));
  const struct {
    std::vector<std::string> args;
    std::set<std::string> written;
    int code;
  } cases[] = {
      {{module_}, {"1.ico", "2.ico", "icon-1.ani"}, kExitOk},
      {{module_, "--index", "2"}, {"2.ico"}, kExitOk},
      {{module_, "--index=1"}, {"1.ico", "icon-1.ani"}, kExitOk},  // per type
      {{module_, "--id", "5"}, {"2.ico"}, kExitOk},
      {{module_, "--id", "0x5"}, {"2.ico"}, kExitOk},
      {{module_, "--name", "logo"}, {"1.ico"}, kExitOk},
      {{module_, "--name", "LOGO", "--id", "5"}, {"1.ico", "2.ico"}, kExitOk},
      {{module_ + ",0"}, {"1.ico", "icon-1.ani"}, kExitOk},
      {{module_ + ",1"}, {"2.ico"}, kExitOk},
      {{module_ + ",-5"}, {"2.ico"}, kExitOk},
      {{"\"" + module_ + "\",-5"}, {"2.ico"}, kExitOk},
      {{dir_.Path("odd.dll,1")}, {"1.ico", "2.ico", "icon-1.ani"}, kExitOk},
      {{module_, "--id", "6"}, {}, kExitNothingToExtract},
      {{module_, "--index", "3"}, {}, kExitNothingToExtract},
      {{module_, "--name", "5"}, {}, kExitNothingToExtract},  // a text, not identifier 5
      {{module_ + ",-6"}, {}, kExitNothingToExtract},
      {{module_ + ",2x"}, {}, kExitBadInput},  // no such file
      {{dir_.Path("absent.dll") + ",1"}, {}, kExitBadInput},
  };
  int round = 0;
  for (const auto& c : cases) {
    const std::string out = dir_.Path("sel" + std::to_string(round++));
    std::vector<std::string> args = {"extract", "-o", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, c.code) << c.args.back() << "\n" << r.err;
    EXPECT_EQ(Leaves(out), c.written) << c.args.back();
    EXPECT_EQ(Lines(r.out), c.written.size()) << c.args.back();
    if (c.code == kExitNothingToExtract) {
      EXPECT_NE(r.err.find("names"), std::string::npos) << r.err;
    }
  }
  // list takes the same selection.
  const CliRun l = Cli({"list", module_ + ",-5"});
  EXPECT_EQ(l.code, kExitOk);
  EXPECT_EQ(l.out.rfind("2\t5\tlang 0x0409\t1 image\t48x48 8-bit DIB", 0), 0u) << l.out;
  EXPECT_EQ(Lines(l.out), 1u);
}

TEST_F(CliFeatures, LanguageFollowsLangThenTheUserLanguage) {
  const struct {
    std::vector<std::string> lang;
    uint16_t user;
    uint8_t width;
  } cases[] = {
      {{"--lang", "0x0804"}, 0, 32},
      {{"--lang=2052"}, 0, 32},
      {{"--lang", "0x0409"}, 0, 16},
      {{"--lang", "0x0407"}, 0, 16},
      {{}, 0x0804, 32},
      {{}, 0x0404, 16},
      {{}, 0, 16},
      {{"--lang", "0x409"}, 0x0804, 16},
      {{"--lang", "0x0004"}, 0, 16},  // Chinese without a sublanguage: none stored, so en-US
  };
  int round = 0;
  for (const auto& c : cases) {
    const std::string out = dir_.Path("lang" + std::to_string(round++));
    std::vector<std::string> args = {"extract", module_, "--name", "LOGO", "-o", out};
    args.insert(args.end(), c.lang.begin(), c.lang.end());
    const CliRun r = Cli(args, c.user);
    ASSERT_EQ(r.code, kExitOk) << r.err;
    Bytes ico;
    ASSERT_TRUE(ReadWholeFile(out + "/1.ico", &ico));
    EXPECT_EQ(ico[6], c.width) << round;
  }
  const CliRun l = Cli({"list", module_, "--lang", "0x0804"});
  EXPECT_EQ(l.out.rfind("1\t\"LOGO\"\tlang 0x0804 of 0x0409 0x0804\t1 image\t32x32", 0), 0u)
      << l.out;
  const CliRun j = Cli({"list", module_, "--json"}, 0x0804);
  EXPECT_NE(j.out.find("\"name\":\"LOGO\",\"language\":\"0x0804\",\"languages\":[\"0x0409\","
                       "\"0x0804\"]"),
            std::string::npos)
      << j.out;
}

// Every language of each group, each with its own images.
TEST_F(CliFeatures, AllLanguagesWritesOneFilePerLanguage) {
  const std::string out = dir_.Path("all");
  const CliRun r = Cli({"extract", module_, "--all-languages", "--jsonl", "-o", out}, 0x0804);
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(Leaves(out), (std::set<std::string>{"1-0x0409.ico", "1-0x0804.ico", "2-0x0409.ico",
                                                "icon-1-0x0409.ani"}));
  const struct {
    const char* leaf;
    uint8_t width;
  } images[] = {{"1-0x0409.ico", 16}, {"1-0x0804.ico", 32}, {"2-0x0409.ico", 48}};
  for (const auto& i : images) {
    Bytes ico;
    ASSERT_TRUE(ReadWholeFile(out + "/" + i.leaf, &ico));
    EXPECT_EQ(ico[6], i.width) << i.leaf;
  }
  EXPECT_NE(r.out.find("\"index\":1,\"name\":\"LOGO\",\"language\":\"0x0804\""), std::string::npos)
      << r.out;
  // list shows every language already.
  EXPECT_EQ(Cli({"list", module_, "--all-languages"}).code, kExitUsage);
}

#ifndef _WIN32
// The program itself takes the user's language from the locale.
TEST_F(CliFeatures, TheProgramReadsTheLocale) {
  const std::string cli = std::string(VANTORICO_BINARY_DIR) + "/cli/vantorico";
  const struct {
    const char* env;
    uint8_t width;
  } cases[] = {{"LANG=zh_CN.UTF-8", 32},
               {"LANG=C", 16},
               {"LANG=en_US.UTF-8 LC_ALL=zh_CN.UTF-8", 32},
               {"LANG=zh_CN.UTF-8 LC_ALL=de_DE.UTF-8", 16}};
  int round = 0;
  for (const auto& c : cases) {
    const std::string out = dir_.Path("locale" + std::to_string(round++));
    const std::string command = "env -u LC_ALL -u LC_MESSAGES " + std::string(c.env) + " '" + cli +
                                "' extract -q --name LOGO '" + module_ + "' -o '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    Bytes ico;
    ASSERT_TRUE(ReadWholeFile(out + "/1.ico", &ico));
    EXPECT_EQ(ico[6], c.width) << c.env;
  }
}

// Standard output that cannot be written is a failure (4), even for a list.
TEST_F(CliFeatures, AFullStandardOutputExitsFour) {
  VANTORICO_REQUIRE_INPUT(FileExists("/dev/full"), "no /dev/full");
  const std::string cli = std::string(VANTORICO_BINARY_DIR) + "/cli/vantorico";
  for (const char* args : {"list", "list --json",
                           "extract -o '"
                           "/tmp"
                           "'"}) {
    const std::string command =
        "'" + cli + "' " + args + " '" + module_ + "' > /dev/full 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), kExitOutputFailed) << args;
  }
}
#endif

TEST_F(CliFeatures, CursorsWithHotspotsAndAnimatedResourcesByteForByte) {
  const struct {
    const char* type;
    std::set<std::string> written;
  } cases[] = {
      {"cursor", {"1.cur", "cursor-1.ani"}},
      {"all", {"1.ico", "2.ico", "1.cur", "cursor-1.ani", "icon-1.ani"}},
  };
  for (const auto& c : cases) {
    const std::string out = dir_.Path(c.type);
    const CliRun r = Cli({"extract", module_, "--type", c.type, "-o", out});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(Leaves(out), c.written) << c.type;
    Bytes cur, ani;
    ASSERT_TRUE(ReadWholeFile(out + "/1.cur", &cur));
    CursorGroup back;
    ASSERT_TRUE(ReadCursorFile(ByteSpan(cur.data(), cur.size()), &back));
    ASSERT_EQ(back.images.size(), 2u);
    EXPECT_EQ(back.images[0].hotspotX, 3);
    EXPECT_EQ(back.images[0].hotspotY, 5);
    EXPECT_EQ(back.images[1].hotspotX, 7);
    EXPECT_EQ(back.images[1].hotspotY, 9);
    EXPECT_EQ(Bytes(back.images[1].image.data(), back.images[1].image.data() + kCursorB.size()),
              kCursorB);
    ASSERT_TRUE(ReadWholeFile(out + "/cursor-1.ani", &ani));
    EXPECT_EQ(ani, AnimatedCursorBytes(1));
  }
  Bytes ani;
  ASSERT_TRUE(ReadWholeFile(dir_.Path("all") + "/icon-1.ani", &ani));
  EXPECT_EQ(ani, AnimatedCursorBytes(50));
  const CliRun l = Cli({"list", module_, "--type", "cursor"});
  ASSERT_EQ(l.code, kExitOk);
  EXPECT_EQ(l.out,
            "cursor\t1\t\"POINTER\"\tlang 0x0409\t2 images\t32x32 1-bit DIB 304 bytes hotspot 3,5"
            "\t48x48 4-bit DIB 1640 bytes hotspot 7,9\n"
            "anicursor\t1\t1\tlang 0x0409\tanimated\t56 bytes\n");
  // A source with no cursors has nothing to extract of that type.
  ASSERT_TRUE(WriteWholeFile(dir_.Path("i.ico"), MakeIconFile({kEnglishDib})));
  EXPECT_EQ(Cli({"extract", dir_.Path("i.ico"), "--type", "cursor", "-o", dir_.Path("no")}).code,
            kExitNothingToExtract);
#ifndef _WIN32
  // icoutils reads the same hotspots from our file.
  if (std::system("icotool --version > /dev/null 2>&1") == 0) {
    const std::string command =
        "icotool -l '" + dir_.Path("cursor") + "/1.cur' > '" + dir_.Path("icotool.txt") + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    Bytes listed;
    ASSERT_TRUE(ReadWholeFile(dir_.Path("icotool.txt"), &listed));
    EXPECT_NE(Text(listed).find("--width=32 --height=32 --bit-depth=1 --palette-size=2 "
                                "--hotspot-x=3 --hotspot-y=5"),
              std::string::npos)
        << Text(listed);
    EXPECT_NE(Text(listed).find("--hotspot-x=7 --hotspot-y=9"), std::string::npos);
  }
#endif
}

#ifndef _WIN32
// icoutils' wrestool as a peer: the same hotspots and images in its cursor
// file (whose sizes count the hotspot bytes too), the same animated cursor.
TEST_F(CliFeatures, CursorsMatchWrestool) {
  VANTORICO_REQUIRE_INPUT(std::system("wrestool --version > /dev/null 2>&1") == 0, "no icoutils");
  const std::string ours = dir_.Path("ours"), theirs = dir_.Path("theirs");
  ASSERT_TRUE(MakeDirectoryForTest(theirs));
  ASSERT_EQ(Cli({"extract", module_, "--type", "cursor", "-o", ours}).code, kExitOk);
  const std::string command = "cd '" + theirs +
                              "' && wrestool -x -t 12 -o . ../m.dll && "
                              "wrestool -x --raw -t 21 -o . ../m.dll";
  ASSERT_EQ(std::system(command.c_str()), 0);
  Bytes mine, peer, ani, peerAni;
  ASSERT_TRUE(ReadWholeFile(ours + "/1.cur", &mine));
  ASSERT_TRUE(ReadWholeFile(theirs + "/m.dll_12_POINTER.cur", &peer));
  ASSERT_EQ(LoadU16(mine, 4), LoadU16(peer, 4));
  for (uint16_t k = 0; k < LoadU16(mine, 4); ++k) {
    const size_t e = 6 + 16 * k;
    EXPECT_EQ(LoadU32(mine, e + 4), LoadU32(peer, e + 4)) << k;  // hotspot x and y
    const uint32_t size = LoadU32(mine, e + 8);
    const Bytes a(mine.begin() + LoadU32(mine, e + 12),
                  mine.begin() + LoadU32(mine, e + 12) + size);
    const Bytes b(peer.begin() + LoadU32(peer, e + 12),
                  peer.begin() + LoadU32(peer, e + 12) + size);
    EXPECT_EQ(a, b) << k;
  }
  ASSERT_TRUE(ReadWholeFile(ours + "/cursor-1.ani", &ani));
  ASSERT_TRUE(ReadWholeFile(theirs + "/m.dll_21_1", &peerAni));
  EXPECT_EQ(ani, peerAni);
}
#endif

TEST_F(CliFeatures, MunRedirectionFromSystemFolders) {
  const Bytes mun = BuildPe(FullResources("FROMMUN"));
  const Bytes own = BuildPe({{14, "OWN", 0, 0x0409, GroupDirectoryOf({{1, kEnglishDib}}, false)},
                             {3, "", 1, 0x0409, kEnglishDib}});
  const struct {
    const char* folder;
    bool iconless;
    bool munThere;
    bool noRedirect;
    const char* firstGroup;  // nullptr: no groups, exit 1
  } cases[] = {
      {"System32", true, true, false, "FROMMUN"}, {"sysWOW64", true, true, false, "FROMMUN"},
      {"SYSTEM32", true, true, true, nullptr},    {"Programs", true, true, false, nullptr},
      {"System32", false, true, false, "OWN"},    {"System32", true, false, false, nullptr},
  };
  int round = 0;
  for (const auto& c : cases) {
    const std::string root = dir_.Path("win" + std::to_string(round++));
    ASSERT_TRUE(MakeDirectoryForTest(root));
    ASSERT_TRUE(MakeDirectoryForTest(root + "/" + c.folder));
    ASSERT_TRUE(MakeDirectoryForTest(root + "/SystemResources"));
    const std::string file = root + "/" + c.folder + "/imageres.dll";
    ASSERT_TRUE(WriteWholeFile(file, c.iconless ? IconlessModule() : own));
    if (c.munThere) {
      ASSERT_TRUE(WriteWholeFile(root + "/SystemResources/imageres.dll.mun", mun));
    }
    std::vector<std::string> args = {"list", "--json", file};
    if (c.noRedirect) args.push_back("--no-redirect");
    const CliRun r = Cli(args);
    const bool redirected = c.firstGroup && std::string(c.firstGroup) == "FROMMUN";
    EXPECT_EQ(r.code, c.firstGroup ? kExitOk : kExitNothingToExtract) << c.folder << r.err;
    EXPECT_EQ(r.out.find("\"redirected_from\":\"" + file + "\"") != std::string::npos, redirected)
        << r.out;
    EXPECT_EQ(r.err.find("reading '" + RealFolderPath(root) +
                         "/SystemResources/imageres.dll.mun' instead") != std::string::npos,
              redirected)
        << r.err;
    if (c.firstGroup) {
      EXPECT_NE(r.out.find("\"name\":\"" + std::string(c.firstGroup) + "\""), std::string::npos);
    } else {
      EXPECT_NE(r.out.find("\"groups\":[]"), std::string::npos);
    }
  }
  // Found in a walk, also of a link to the folder: the folder's real name is
  // the one that counts, looked up once for all its files.
  const std::string root = dir_.Path("walked");
  ASSERT_TRUE(MakeDirectoryForTest(root));
  ASSERT_TRUE(MakeDirectoryForTest(root + "/System32"));
  ASSERT_TRUE(MakeDirectoryForTest(root + "/SystemResources"));
  ASSERT_TRUE(WriteWholeFile(root + "/System32/imageres.dll", IconlessModule()));
  ASSERT_TRUE(WriteWholeFile(root + "/System32/other.dll", IconlessModule()));
  ASSERT_TRUE(WriteWholeFile(root + "/SystemResources/imageres.dll.mun", mun));
  ASSERT_EQ(symlink((root + "/System32").c_str(), (root + "/alias").c_str()), 0);
  for (const char* walked : {"System32", "alias"}) {
    const std::string file = root + "/" + walked + "/imageres.dll";
    const CliRun r = Cli({"list", "--json", "-r", root + "/" + walked});
    EXPECT_NE(r.out.find("\"redirected_from\":\"" + file + "\""), std::string::npos)
        << walked << r.out;
    EXPECT_NE(r.out.find("\"name\":\"FROMMUN\""), std::string::npos) << walked << r.out;
  }
}

TEST_F(CliFeatures, BatchesOfFilesAndFolders) {
  const std::string tree = dir_.Path("tree");
  ASSERT_TRUE(MakeDirectoryForTest(tree));
  ASSERT_TRUE(MakeDirectoryForTest(tree + "/sub"));
  ASSERT_TRUE(MakeDirectoryForTest(dir_.Path("other")));
  ASSERT_TRUE(WriteWholeFile(tree + "/c.DLL", BuildPe(FullResources())));
  ASSERT_TRUE(WriteWholeFile(tree + "/notes.txt", Bytes{'h', 'i'}));
  ASSERT_TRUE(WriteWholeFile(tree + "/sub/d.dll", BuildPe(FullResources())));
  ASSERT_TRUE(WriteWholeFile(tree + "/sub/e.ico", MakeIconFile({kEnglishDib})));
  ASSERT_TRUE(WriteWholeFile(dir_.Path("other") + "/c.DLL", BuildPe(FullResources())));
  ASSERT_TRUE(WriteWholeFile(dir_.Path("b.ico"), MakeIconFile({kEnglishDib})));
  const std::set<std::string> moduleFiles = {"1.ico", "2.ico", "icon-1.ani"};
  const struct {
    std::vector<std::string> args;
    std::set<std::string> folders;
    size_t written;
  } cases[] = {
      {{module_, dir_.Path("b.ico"), tree}, {"m.dll", "b.ico", "c.DLL"}, 7},
      {{tree, "-r"}, {"c.DLL", "d.dll", "e.ico"}, 7},
      {{tree, "-r", "--include", "*.dll"}, {"c.DLL", "d.dll"}, 6},
      {{tree, "--include=[cd].*", "-r", "--include", "*.ico"}, {"c.DLL", "d.dll", "e.ico"}, 7},
      {{tree, dir_.Path("other")}, {"c.DLL", "c.DLL~2"}, 6},
  };
  int round = 0;
  for (const auto& c : cases) {
    const std::string out = dir_.Path("batch" + std::to_string(round++));
    std::vector<std::string> args = {"extract", "-o", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun r = Cli(args);
    EXPECT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(Leaves(out), c.folders) << round;
    EXPECT_EQ(Lines(r.out), c.written) << r.out;
    for (const std::string& f : c.folders) {
      const bool icon = f.size() > 4 && f.compare(f.size() - 4, 4, ".ico") == 0;
      EXPECT_EQ(Leaves(out + "/" + f), icon ? std::set<std::string>{"1.ico"} : moduleFiles) << f;
    }
    // One summary line, and nothing said about notes.txt.
    EXPECT_EQ(Lines(r.err), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("vantorico: " + std::to_string(c.folders.size()) + " sources, " +
                              std::to_string(c.written) + " written, 0 skipped",
                          0),
              0u)
        << r.err;
  }
  // Quiet: nothing but errors. Verbose: a summary even for one source.
  CliRun q = Cli({"extract", "-q", tree, "-o", dir_.Path("quiet")});
  EXPECT_EQ(q.code, kExitOk);
  EXPECT_EQ(q.out + q.err, "");
  q = Cli({"extract", "-v", module_, "-o", dir_.Path("verbose")});
  EXPECT_NE(q.err.find("1 source, 3 written"), std::string::npos) << q.err;
  // A list of sources from a file: blank lines and CRLF endings are fine.
  const std::string list = module_ + "\r\n\n" + dir_.Path("b.ico") + "\n";
  ASSERT_TRUE(WriteWholeFile(dir_.Path("list.txt"), Bytes(list.begin(), list.end())));
  q = Cli({"list", "--files-from", dir_.Path("list.txt")});
  EXPECT_EQ(q.code, kExitOk) << q.err;
  EXPECT_EQ(Lines(q.out), 4u) << q.out;  // m.dll: 2 groups and an animated icon; b.ico: 1
  EXPECT_EQ(q.out.rfind(module_ + "\t1\t\"LOGO\"", 0), 0u) << q.out;
  // Folders with nothing to read: nothing to extract.
  ASSERT_TRUE(MakeDirectoryForTest(dir_.Path("empty")));
  for (const char* command : {"list", "extract"}) {
    q = Cli({command, dir_.Path("empty"), tree + "/sub", "--include", "*.txt"});
    EXPECT_EQ(q.code, kExitNothingToExtract) << command;
    EXPECT_NE(q.err.find("no program or icon files"), std::string::npos) << q.err;
  }
  // A named source that is no program file still fails the run.
  ASSERT_TRUE(WriteWholeFile(dir_.Path("x.txt"), Bytes{'h', 'i'}));
  q = Cli({"list", module_, dir_.Path("x.txt")});
  EXPECT_EQ(q.code, kExitBadInput);
}

TEST_F(CliFeatures, OutputNamesThatExist) {
  const struct {
    const char* rule;
    int code;
    std::set<std::string> leaves;
    bool replaced;
  } cases[] = {
      {"overwrite", kExitOk, {"1.ico", "1-2.ico"}, true},
      {"skip", kExitOk, {"1.ico", "1-2.ico"}, false},
      {"rename", kExitOk, {"1.ico", "1-2.ico", "1-3.ico"}, false},
  };
  const Bytes old(7, 'o');
  for (const auto& c : cases) {
    const std::string out = dir_.Path(c.rule);
    ASSERT_TRUE(MakeDirectoryForTest(out));
    ASSERT_TRUE(WriteWholeFile(out + "/1.ico", old));
    ASSERT_TRUE(WriteWholeFile(out + "/1-2.ico", old));
    const CliRun r =
        Cli({"extract", module_, "--name", "logo", "--on-conflict", c.rule, "-o", out, "--json"});
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_EQ(Leaves(out), c.leaves) << c.rule;
    Bytes now;
    ASSERT_TRUE(ReadWholeFile(out + "/1.ico", &now));
    EXPECT_EQ(now != old, c.replaced) << c.rule;
    EXPECT_NE(r.out.find(std::string("\"status\":\"") +
                         (std::string(c.rule) == "skip" ? "skipped" : "written") + "\""),
              std::string::npos)
        << r.out;
    if (std::string(c.rule) == "rename") {
      ASSERT_TRUE(ReadWholeFile(out + "/1-3.ico", &now));
      EXPECT_EQ(now[6], 16);
      EXPECT_NE(r.out.find("1-3.ico\""), std::string::npos);
    }
  }
}

#ifndef _WIN32
TEST_F(CliFeatures, JsonDocumentsParseWithNonAsciiNamesAndPaths) {
  ScratchDir py("cli_features_json");
  const std::string folder = dir_.Path(u8"数据");
  ASSERT_TRUE(MakeDirectoryForTest(folder));
  const std::string chinese = folder + u8"/图标.dll";
  ASSERT_TRUE(WriteWholeFile(chinese, BuildPe(FullResources(u8"标志\"\n"))));
  const std::string latin1 = folder + "/caf\xe9.dll";  // not UTF-8
  ASSERT_TRUE(WriteWholeFile(latin1, BuildPe(FullResources())));
  CliRun r = Cli({"list", "--json", chinese}, 0x0804);
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(PythonJson(r.out,
                       "d['groups'][0]['name'] + '|' + d['groups'][0]['language'] + '|' + "
                       "d['file'].split('/')[-1]",
                       false, py),
            std::string(u8"标志\"\n|0x0804|") + u8"图标.dll" + "\n");
  // The text listing keeps the name on its line.
  r = Cli({"list", chinese});
  EXPECT_NE(r.out.find(u8"\"标志\\\"\\n\""), std::string::npos) << r.out;
  // One line per source; a byte that is not UTF-8 survives as \udcXX.
  r = Cli({"extract", "--jsonl", folder, "-o", dir_.Path("jsonl")});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(Lines(r.out), 2u);
  EXPECT_EQ(
      PythonJson(r.out,
                 "str(d['schema']) + ' ' + d['file'].split('/')[-1] + ' ' + str(len(d['outputs']))"
                 " + ' ' + d['outputs'][0]['status']",
                 true, py),
      "2 caf\xe9.dll 3 written\n2 " + std::string(u8"图标.dll") + " 3 written\n");
  // Several sources with --json: one array.
  r = Cli({"list", "--json", folder});
  EXPECT_EQ(PythonJson(r.out, "len(d)", false, py), "2\n") << r.out;
  // No groups: the document with an empty list, and exit 1.
  ASSERT_TRUE(WriteWholeFile(dir_.Path("bare.dll"), IconlessModule()));
  r = Cli({"list", "--json", dir_.Path("bare.dll")});
  EXPECT_EQ(r.code, kExitNothingToExtract);
  EXPECT_EQ(PythonJson(r.out, "str(d['groups']) + ' ' + str(d['status'])", false, py), "[] 1\n");
  // A source that cannot be read still has its line.
  r = Cli({"list", "--jsonl", dir_.Path("absent.dll"), module_});
  EXPECT_EQ(r.code, kExitBadInput);
  EXPECT_EQ(PythonJson(r.out, "str(d['status']) + ' ' + str(d['kind'])", true, py),
            "3 None\n0 module\n");
}
#endif

// Every long option --help names is in the manual page and the completion.
TEST(CliDocuments, ManualAndCompletionNameEveryOption) {
  std::string help, err;
  ASSERT_EQ(RunCli({"--help"}, &help, &err), kExitOk);
  Bytes man, completion;
  ASSERT_TRUE(ReadWholeFile(std::string(VANTORICO_SOURCE_DIR) + "/cli/vantorico.1", &man));
  ASSERT_TRUE(ReadWholeFile(std::string(VANTORICO_SOURCE_DIR) + "/cli/vantorico.bash-completion",
                            &completion));
  std::string manText;
  for (size_t i = 0; i < man.size(); ++i) {
    if (man[i] == '\\' && i + 1 < man.size() && man[i + 1] == '-') continue;  // troff's \-
    manText += static_cast<char>(man[i]);
  }
  const std::string completionText = Text(completion);
  size_t options = 0;
  for (size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
    size_t end = at + 2;
    while (end < help.size() &&
           (std::isalnum(static_cast<unsigned char>(help[end])) || help[end] == '-')) {
      ++end;
    }
    const std::string option = help.substr(at, end - at);
    if (option == "--") continue;
    ++options;
    EXPECT_NE(manText.find(option), std::string::npos) << option;
    if (option != "--version" && option != "--help") {
      EXPECT_NE(completionText.find(option), std::string::npos) << option;
    }
  }
  EXPECT_GE(options, 18u);
}

}  // namespace
}  // namespace vantorico

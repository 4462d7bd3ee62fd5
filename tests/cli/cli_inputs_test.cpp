// Cursor files (.cur) and animated files (.ani) as sources of both commands:
// their pixels against Pillow, their chunks against the file's own as
// Python finds them by tag, byte-for-byte extraction, hostile RIFF chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli_run.h"
#include "iconlib/formats/animated_file.h"
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/images/icon_hashes.h"
#include "iconlib/images/main_icon.h"
#include "pe_builder.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

#ifndef _WIN32
// Debian's interpreter (it has Pillow); the script's output, or "FAILED rc".
std::string Python(const std::string& script, const std::vector<std::string>& args,
                   const ScratchDir& dir) {
  std::string command =
      "/usr/bin/python3 '" + std::string(VANTORICO_SOURCE_DIR) + "/tests/cli/" + script + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " > '" + dir.Path("py.out") + "' 2>&1";
  const int rc = std::system(command.c_str());
  Bytes out;
  ReadWholeFile(dir.Path("py.out"), &out);
  return rc == 0 ? Text(out) : "FAILED " + std::to_string(rc) + ": " + Text(out);
}

bool HavePillow() {
  return std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") == 0;
}

// Our JSON of an animated file cut to what ani_chunks.py prints.
std::string OurChunks(const std::string& json, const ScratchDir& dir) {
  WriteWholeFile(dir.Path("doc.json"), Bytes(json.begin(), json.end()));
  const std::string script =
      "import json,sys\n"
      "g=json.load(open(sys.argv[1]))['groups'][0]\n"
      "print(json.dumps({'steps':g['steps'],'display_rate':g['display_rate'],"
      "'rates':g['rates'],'sequence':g['sequence'],"
      "'frames':[len(f['images']) for f in g['frames']]}))\n";
  WriteWholeFile(dir.Path("ours.py"), Bytes(script.begin(), script.end()));
  const std::string command = "/usr/bin/python3 '" + dir.Path("ours.py") + "' '" +
                              dir.Path("doc.json") + "' > '" + dir.Path("ours.out") + "'";
  if (std::system(command.c_str()) != 0) return "INVALID " + json;
  Bytes out;
  ReadWholeFile(dir.Path("ours.out"), &out);
  return Text(out);
}

TEST(CliInputs, CorpusCursorPixelsEqualPillows) {
  const std::string corpus = CorpusDir();
  VANTORICO_REQUIRE_INPUT(!corpus.empty(), "the shared corpus");
  VANTORICO_REQUIRE_INPUT(HavePillow(), "Debian's python3-pil");
  ScratchDir dir("cli_inputs_cur");
  // mask_1.cur is left out: its directory says 8 bytes for an 80-byte image,
  // and the engine keeps to what the directory says (the image is "other").
  for (const char* name : {"deerstalker.cur"}) {
    const std::string cur = corpus + "/pillow/" + name;
    const CliRun r = Cli({"extract", "--format", "png", cur, "-o", dir.Path(name)});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    EXPECT_EQ(Python("cur_pixels.py", {cur, dir.Path(name) + "/cursor-1.png"}, dir), "") << name;
    const CliRun l = Cli({"list", cur});
    EXPECT_NE(l.out.find("hotspot"), std::string::npos) << l.out;
  }
  const CliRun none = Cli({"list", "--json", corpus + "/pillow/no_cursors.cur"});
  EXPECT_EQ(none.code, kExitOk);
  EXPECT_NE(none.out.find("\"kind\":\"cursor file\""), std::string::npos) << none.out;
  EXPECT_NE(none.out.find("\"images\":[]"), std::string::npos) << none.out;
}

TEST(CliInputs, CorpusAnimatedFilesListTheirOwnChunks) {
  const std::string corpus = CorpusDir();
  VANTORICO_REQUIRE_INPUT(!corpus.empty(), "the shared corpus");
  ScratchDir dir("cli_inputs_ani");
  // The hostile three state sizes past the file (a frame list understated,
  // a junk chunk of 4 GB, an INFO list overstated by 2).
  for (const char* name :
       {"kimageformats/test.ani", "imhex-patterns/ani.hexpat.ani",
        "imhex-patterns/ani.compatibility.hexpat.ani", "gdk-pixbuf/CVE-2022-48622.ani"}) {
    const std::string ani = corpus + "/" + name;
    const CliRun l = Cli({"list", "--json", ani});
    ASSERT_EQ(l.code, kExitOk) << name << l.err;
    EXPECT_NE(l.out.find("\"kind\":\"animated file\""), std::string::npos) << l.out;
    EXPECT_EQ(OurChunks(l.out, dir), Python("ani_chunks.py", {ani}, dir)) << name;
    // Written as stored, byte for byte.
    const CliRun x = Cli({"extract", ani, "-o", dir.Path("raw")});
    ASSERT_EQ(x.code, kExitOk) << x.err;
    Bytes written, stored;
    ASSERT_TRUE(ReadWholeFile(dir.Path("raw/cursor-1.ani"), &written));
    ASSERT_TRUE(ReadWholeFile(ani, &stored));
    EXPECT_EQ(written, stored) << name;
  }
  // Each frame of test.ani (three 32 x 32 cursors) as a PNG.
  const CliRun p = Cli(
      {"extract", "--format", "png", corpus + "/kimageformats/test.ani", "-o", dir.Path("png")});
  ASSERT_EQ(p.code, kExitOk) << p.err;
  for (const char* leaf : {"cursor-1-f1.png", "cursor-1-f2.png", "cursor-1-f3.png"}) {
    EXPECT_TRUE(FileExists(dir.Path("png/") + leaf)) << leaf;
  }
  EXPECT_FALSE(FileExists(dir.Path("png/cursor-1-f4.png")));
}
#endif

// A RIFF "ACON" of the chunks given (each tag and body; odd bodies padded).
struct Chunk {
  std::string tag;
  Bytes body;
  std::string form;  // for a LIST
};

Bytes Riff(const std::vector<Chunk>& chunks) {
  Bytes b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'C', 'O', 'N'};
  for (const Chunk& c : chunks) {
    b.insert(b.end(), c.tag.begin(), c.tag.end());
    const size_t size = c.body.size() + c.form.size();
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(size >> (8 * i)));
    b.insert(b.end(), c.form.begin(), c.form.end());
    b.insert(b.end(), c.body.begin(), c.body.end());
    if (size & 1) b.push_back(0);
  }
  PutU32(&b, 4, static_cast<uint32_t>(b.size() - 8));
  return b;
}

Bytes U32s(const std::vector<uint32_t>& v) {
  Bytes b;
  for (uint32_t x : v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(x >> (8 * i)));
  }
  return b;
}

Bytes Anih(uint32_t frames, uint32_t steps, uint32_t rate) {
  return U32s({36, frames, steps, 0, 0, 0, 0, rate, kAnimatedFlagIcon | kAnimatedFlagSequence});
}

Bytes Frames(const std::vector<Bytes>& frames) {
  Bytes b;
  for (const Bytes& f : frames) {
    b.insert(b.end(), {'i', 'c', 'o', 'n'});
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(f.size() >> (8 * i)));
    b.insert(b.end(), f.begin(), f.end());
    if (f.size() & 1) b.push_back(0);
  }
  return b;
}

// A cursor file of one 16 x 16 4-bit DIB.
Bytes CursorFile(uint16_t x, uint16_t y, const Bytes& dib) {
  CursorGroup g;
  g.images.resize(1);
  g.images[0].width = g.images[0].height = 16;
  g.images[0].bitCount = 4;
  g.images[0].image = ByteSpan(dib.data(), dib.size());
  g.images[0].hotspotX = x;
  g.images[0].hotspotY = y;
  std::vector<uint8_t> cur;
  EXPECT_TRUE(BuildCursorFile(g, &cur));
  return Bytes(cur.begin(), cur.end());
}

TEST(AnimatedFile, ChunksAreReadWithinTheFile) {
  const Bytes dib = MakeDib(16, 16, 4, 16);
  const Bytes cur = CursorFile(3, 4, dib);
  const Bytes ico = MakeIconFile({dib});
  const Bytes odd = {'x', 'y', 'z'};  // an odd INFO chunk, padded
  struct Case {
    const char* what;
    Bytes file;
    AnimatedFailure result;
    size_t frames;
    size_t rates;
  };
  const Bytes info = {'I', 'N', 'A', 'M', 3, 0, 0, 0, 'x', 'y', 'z', 0};
  Bytes overstated =
      Riff({{"LIST", info, "INFO"}, {"anih", Anih(1, 1, 5), ""}, {"LIST", Frames({cur}), "fram"}});
  PutU32(&overstated, 16, LoadU32(overstated, 16) + 2);  // the INFO list says 2 bytes more
  Bytes understated = Riff({{"anih", Anih(2, 2, 5), ""}, {"LIST", Frames({cur, ico}), "fram"}});
  PutU32(&understated, 12 + 44 + 4, 4 + 8 + static_cast<uint32_t>(cur.size()));
  Bytes huge = Riff({{"anih", Anih(1, 1, 5), ""}, {"LIST", Frames({cur}), "fram"}});
  huge.insert(huge.end(), {'j', 'u', 'n', 'k', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
  Bytes many;
  for (uint32_t i = 0; i <= kMaxAnimatedFrames; ++i)
    many.insert(many.end(), {'i', 'c', 'o', 'n', 0, 0, 0, 0});
  const Case cases[] = {
      {"whole, with an odd chunk",
       Riff({{"INFO", odd, ""},
             {"anih", Anih(2, 3, 5), ""},
             {"rate", U32s({1, 2, 3}), ""},
             {"seq ", U32s({0, 1, 0}), ""},
             {"LIST", Frames({cur, ico}), "fram"}}),
       AnimatedFailure::None, 2, 3},
      {"an INFO list that overstates its size", overstated, AnimatedFailure::None, 1, 0},
      {"a frame list that understates its size", understated, AnimatedFailure::None, 2, 0},
      {"a chunk of 4 GB after the frames", huge, AnimatedFailure::None, 1, 0},
      {"no anih", Riff({{"LIST", Frames({cur}), "fram"}}), AnimatedFailure::CutShort, 1, 0},
      {"anih cut short", Riff({{"anih", Bytes(20, 0), ""}}), AnimatedFailure::CutShort, 0, 0},
      {"a RIFF of another form", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'},
       AnimatedFailure::NotAnimated, 0, 0},
      {"too many frames", Riff({{"anih", Anih(1, 1, 1), ""}, {"LIST", many, "fram"}}),
       AnimatedFailure::TooManyFrames, 0, 0},
      {"too many rates",
       Riff({{"anih", Anih(1, 1, 1), ""}, {"rate", Bytes(4 * (kMaxAnimatedSteps + 1), 0), ""}}),
       AnimatedFailure::TooManySteps, 0, 0},
      {"nothing", Bytes{}, AnimatedFailure::NotAnimated, 0, 0},
  };
  for (const Case& c : cases) {
    AnimatedFile ani;
    const AnimatedFailure got = ReadAnimatedFile(ByteSpan(c.file.data(), c.file.size()), &ani);
    EXPECT_EQ(got, c.result) << c.what;
    if (got != AnimatedFailure::None) continue;
    EXPECT_EQ(ani.frames.size(), c.frames) << c.what;
    EXPECT_EQ(ani.rates.size(), c.rates) << c.what;
    for (const ByteSpan& f : ani.frames) {
      EXPECT_GE(f.data(), c.file.data()) << c.what;
      EXPECT_LE(f.data() + f.size(), c.file.data() + c.file.size()) << c.what;
      CursorGroup images;
      EXPECT_TRUE(ReadIconOrCursorFile(f, &images)) << c.what;
    }
  }
}

TEST(CliInputs, HandMadeAnimatedAndCursorFiles) {
  ScratchDir dir("cli_inputs_made");
  const Bytes dib = MakeDib(16, 16, 4, 16);
  const Bytes cur = CursorFile(3, 4, dib);
  const Bytes ico = MakeIconFile({MakeDib(32, 32, 8, 256)});
  const Bytes ani = Riff({{"anih", Anih(2, 3, 6), ""},
                          {"seq ", U32s({1, 0, 1}), ""},
                          {"LIST", Frames({cur, ico}), "fram"}});
  ASSERT_TRUE(WriteWholeFile(dir.Path("a.ani"), ani));
  ASSERT_TRUE(WriteWholeFile(dir.Path("a.cur"), cur));
  const CliRun l = Cli({"list", dir.Path("a.ani")});
  ASSERT_EQ(l.code, kExitOk) << l.err;
  EXPECT_EQ(l.out,
            "1\t-\tlang -\tanimated\t" + std::to_string(ani.size()) +
                " bytes\t2 frames 3 steps rate 6 jiffies\tsequence 1,0,1\tframe 1\t1 image\t16x16 "
                "4-bit DIB " +
                std::to_string(dib.size()) +
                " bytes hotspot 3,4\tframe 2\t1 image\t32x32 8-bit DIB " +
                std::to_string(ico.size() - 22) + " bytes\n");
  // The cursor file's group comes out whatever --type says, as a cursor file.
  const CliRun c = Cli({"extract", dir.Path("a.cur"), "--type", "icon", "-o", dir.Path("out")});
  ASSERT_EQ(c.code, kExitOk) << c.err;
  Bytes back;
  ASSERT_TRUE(ReadWholeFile(dir.Path("out/1.cur"), &back));
  EXPECT_EQ(back, cur);
  // A damaged animated file is said as such.
  Bytes cut = Riff({{"anih", Bytes(8, 0), ""}});
  ASSERT_TRUE(WriteWholeFile(dir.Path("cut.ani"), cut));
  const CliRun d = Cli({"list", dir.Path("cut.ani")});
  EXPECT_EQ(d.code, kExitBadInput);
  EXPECT_NE(d.err.find("is a damaged animated file"), std::string::npos) << d.err;
}

// --hashes names the main icon: of the first group (not the second), its
// 32x32 32-bit image (first in the priority list) though the 16x16 comes
// first, with the digests of its stored bytes.
TEST(CliInputs, HashesNameTheMainIcon) {
  ScratchDir dir("cli_inputs_main");
  const Bytes small = MakeDib(16, 16, 32, 0);
  const Bytes large = MakeDib(32, 32, 32, 0);
  const Bytes other = MakeDib(32, 32, 8, 256);
  ASSERT_TRUE(WriteWholeFile(
      dir.Path("m.dll"),
      BuildPe({{14, "", 1, 0x0409, GroupDirectoryOf({{1, small}, {2, large}}, false)},
               {14, "", 2, 0x0409, GroupDirectoryOf({{3, other}}, false)},
               {3, "", 1, 0x0409, small},
               {3, "", 2, 0x0409, large},
               {3, "", 3, 0x0409, other}})));
  const CliRun l = Cli({"list", "--hashes", dir.Path("m.dll")});
  ASSERT_EQ(l.code, kExitOk) << l.err;
  uint64_t hash = 0;
  const ByteSpan bytes(large.data(), large.size());
  const std::string average = AverageHashOf(bytes, nullptr, &hash) ? AverageHashText(hash) : "-";
  const std::string line = "main\t1\timage 2\t32x32 32-bit priority 0\tmd5 " +
                           DigestText(Md5Of(bytes)) + " sha256 " + DigestText(Sha256Of(bytes)) +
                           " avghash " + average + "\n";
  ASSERT_GE(l.out.size(), line.size());
  EXPECT_EQ(l.out.substr(l.out.size() - line.size()), line) << l.out;
  const CliRun j = Cli({"list", "--hashes", "--json", dir.Path("m.dll")});
  EXPECT_NE(j.out.find("\"main_icon\":{\"group\":1,\"image\":2,\"width\":32,\"height\":32,"
                       "\"bitCount\":32,\"rule\":\"priority\",\"priority\":0,\"md5\":\"" +
                       DigestText(Md5Of(bytes))),
            std::string::npos)
      << j.out;
  // Without --hashes nothing changes.
  EXPECT_EQ(Cli({"list", dir.Path("m.dll")}).out.find("main"), std::string::npos);
}

// RT_ICON 2 and 7 are in no group: with --orphans they are groups 2 and 3,
// each one image, marked in both listings and written as one-image .ico files.
TEST(CliInputs, OrphansComeOutAsGroupsOfTheirOwn) {
  ScratchDir dir("cli_inputs_orphans");
  const Bytes listed = MakeDib(16, 16, 4, 16);
  const Bytes two = MakeDib(32, 32, 8, 256);
  const Bytes seven = MakeDib(48, 48, 32, 0);
  const std::string dll = dir.Path("o.dll");
  ASSERT_TRUE(
      WriteWholeFile(dll, BuildPe({{14, "", 1, 0x0409, GroupDirectoryOf({{1, listed}}, false)},
                                   {3, "", 1, 0x0409, listed},
                                   {3, "", 2, 0x0409, two},
                                   {3, "", 7, 0x0409, seven}})));
  const CliRun plain = Cli({"list", dll});
  EXPECT_EQ(Lines(plain.out), 1u) << plain.out;
  EXPECT_EQ(plain.out.find("orphan"), std::string::npos);
  const CliRun l = Cli({"list", "--orphans", dll});
  ASSERT_EQ(l.code, kExitOk) << l.err;
  EXPECT_EQ(l.out, "1\t1\tlang 0x0409\t1 image\t16x16 4-bit DIB " + std::to_string(listed.size()) +
                       " bytes\n2\t2\tlang 0x0409\t1 image\t32x32 8-bit DIB " +
                       std::to_string(two.size()) +
                       " bytes\torphan\n3\t7\tlang 0x0409\t1 image\t48x48 "
                       "32-bit DIB " +
                       std::to_string(seven.size()) + " bytes\torphan\n");
  const CliRun j = Cli({"list", "--orphans", "--json", dll});
  EXPECT_NE(j.out.find("\"index\":2,\"name\":2,\"orphan\":true"), std::string::npos) << j.out;
  EXPECT_NE(j.out.find("\"index\":3,\"name\":7,\"orphan\":true"), std::string::npos) << j.out;
  EXPECT_EQ(j.out.find("\"index\":1,\"name\":1,\"orphan\""), std::string::npos) << j.out;
  // Written as one-image icon files; the index selects an orphan, --id does not.
  const CliRun x = Cli({"extract", "--orphans", "--exact-images", dll, "-o", dir.Path("out")});
  ASSERT_EQ(x.code, kExitOk) << x.err;
  Bytes ico;
  ASSERT_TRUE(ReadWholeFile(dir.Path("out/3.ico"), &ico));
  ASSERT_EQ(ico.size(), 6 + 16 + seven.size());
  EXPECT_EQ(LoadU16(ico, 4), 1);
  EXPECT_TRUE(std::equal(seven.begin(), seven.end(), ico.begin() + 22));
  EXPECT_TRUE(FileExists(dir.Path("out/2.ico")));
  const CliRun one = Cli({"list", "--orphans", "--index", "3", dll});
  EXPECT_EQ(one.out.substr(0, 4), "3\t7\t") << one.out;
  const CliRun id = Cli({"list", "--orphans", "--id", "7", dll});
  EXPECT_EQ(id.code, kExitNothingToExtract) << id.out;
}

}  // namespace
}  // namespace vantorico

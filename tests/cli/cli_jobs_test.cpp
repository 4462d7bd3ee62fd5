// -j N: sources read on several threads give the run of one thread, byte
// for byte: standard output and error, the JSON documents, the exit code,
// the output names and the files.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/file_seam.h"
#include "iconlib/formats/icon_constants.h"
#include "pe_builder.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

struct Outcome {
  int code;
  std::string out, err;
  std::map<std::string, Bytes> files;  // under the output folder, by relative path
};

// Every file under root, with its bytes.
std::map<std::string, Bytes> Tree(const std::string& root) {
  std::map<std::string, Bytes> files;
  std::vector<WalkItem> items;
  if (TypeOfPath(root) != PathType::Directory) return files;
  WalkFolder(root, true, &items);
  for (const WalkItem& item : items) {
    EXPECT_TRUE(item.reached) << item.path;
    Bytes bytes;
    EXPECT_TRUE(ReadWholeFile(item.path, &bytes)) << item.path;
    files[item.path.substr(root.size())] = bytes;
  }
  return files;
}

// What is in the output folder before a run: files, and folders where the
// run would write a file (names ending in '/').
using Seeds = std::vector<std::string>;

// Runs args (with {out} standing for a fresh output folder, holding seeds)
// with -j jobs; the output folder's name is {out} again in the text.
Outcome RunWithJobs(std::vector<std::string> args, const std::string& out, int jobs,
                    const Seeds& seeds) {
  for (std::string& a : args) {
    if (a == "{out}") a = out;
  }
  for (const std::string& seed : seeds) {
    const std::string path = out + "/" + seed;
    SystemError error;
    const bool folder = seed.back() == '/';
    EXPECT_TRUE(MakeFolders(folder ? path : path.substr(0, path.rfind('/')), &error)) << path;
    if (!folder) {
      EXPECT_TRUE(WriteWholeFile(path, Bytes{'o', 'l', 'd'})) << path;
    }
  }
  args.insert(args.begin() + 1, {"-j", std::to_string(jobs)});
  Outcome o;
  o.code = RunCli(args, &o.out, &o.err);
  // The folder as text says it, and as JSON does (backslashes doubled).
  std::string inJson;
  for (char c : out) inJson += c == '\\' ? "\\\\" : std::string(1, c);
  for (std::string* text : {&o.out, &o.err}) {
    for (const std::string& said : {inJson, out}) {
      for (size_t at = text->find(said); at != std::string::npos; at = text->find(said, at)) {
        text->replace(at, said.size(), "{out}");
      }
    }
  }
  o.files = Tree(out);
  return o;
}

void ExpectSameWithJobs(const std::vector<std::string>& args, const ScratchDir& dir,
                        const std::string& what, const Seeds& seeds = {}) {
  static int round = 0;
  const std::string tag = std::to_string(round++);
  const Outcome one = RunWithJobs(args, dir.Path("one" + tag), 1, seeds);
  for (int jobs : {2, 4}) {
    const Outcome many =
        RunWithJobs(args, dir.Path("j" + std::to_string(jobs) + "-" + tag), jobs, seeds);
    EXPECT_EQ(many.code, one.code) << what << " -j" << jobs;
    EXPECT_EQ(many.out, one.out) << what << " -j" << jobs;
    EXPECT_EQ(many.err, one.err) << what << " -j" << jobs;
    EXPECT_EQ(many.files.size(), one.files.size()) << what << " -j" << jobs;
    EXPECT_TRUE(many.files == one.files) << what << " -j" << jobs;
  }
}

// Wine's program files, listed and extracted in every form, and a folder
// whose files share names (in one folder's outputs and across folders).
TEST(CliJobs, ManyThreadsGiveTheOneThreadRun) {
  const std::string wine = WinePeDir(true);
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!wine.empty() && !module.empty(), "Wine's x86_64 files or test modules");
  ScratchDir dir("cli_jobs");
  Bytes moduleBytes;
  ASSERT_TRUE(ReadWholeFile(module, &moduleBytes));
  const std::string tree = dir.Path("tree");
  for (const char* sub : {"", "/0", "/a", "/b", "/d"})
    ASSERT_TRUE(MakeDirectoryForTest(tree + sub));
  for (const char* file : {"/a/m.dll", "/b/m.dll", "/c.dll", "/d/m.dll~2"}) {
    ASSERT_TRUE(WriteWholeFile(tree + file, moduleBytes));
  }
  // The first m.dll has no icons, so it takes no folder name; "m.dll~2" is
  // a name the run also gives the second m.dll's folder.
  ASSERT_TRUE(WriteWholeFile(tree + "/0/m.dll", BuildPe({})));
  ASSERT_TRUE(WriteWholeFile(tree + "/notes.txt", Bytes{'h', 'i'}));
  const std::string some = "--include=[a-f]*";
  const std::vector<std::vector<std::string>> runs = {
      {"list", "-r", some, wine},
      {"list", "--json", "-v", "-r", some, wine},
      {"extract", "-r", some, wine, "-o", "{out}"},
      {"extract", "--jsonl", "-r", "--type", "all", some, wine, "-o", "{out}"},
#ifdef VANTORICO_HAVE_PNG
      {"extract", "--json", "--format", "png", "--size", "20", "-r", some, wine, "-o", "{out}"},
#endif
      // One file twice, and files of one name in two folders: their names
      // are the run's first-come ones.
      {"extract", "-v", "-r", tree, tree + "/c.dll", "--on-conflict", "rename", "-o", "{out}"},
      {"extract", "--json", "-r", tree, tree + "/c.dll", dir.Path("absent.dll"), "-o", "{out}"},
  };
  for (const auto& args : runs) {
    std::string what;
    for (const std::string& a : args) what += a + " ";
    ExpectSameWithJobs(args, dir, what);
  }
  // Names taken before the run (a file, a folder where a file would go), and
  // an output folder that cannot be made: what each source meets on disk
  // decides its names and messages.
  const Seeds seeds = {"c.dll/1.ico", "c.dll/2.ico/", "m.dll/3.ico", "m.dll~2/1.ico/"};
  for (const char* conflict : {"rename", "skip", "overwrite"}) {
    ExpectSameWithJobs({"extract", "--jsonl", "-v", "-r", tree, tree + "/c.dll", "--on-conflict",
                        conflict, "-o", "{out}"},
                       dir, std::string("seeded ") + conflict, seeds);
  }
  ExpectSameWithJobs({"extract", "--json", "-r", tree, "-o", tree + "/notes.txt/out"}, dir,
                     "an output folder under a file");
}

// One source of many groups: its groups are made and written on several
// threads, and what it says, the names and the files are the one thread's,
// under each conflict rule, with names the source gives twice (one
// --output-name for every group) and names taken before the run.
TEST(CliJobs, OneSourcesGroupsOnManyThreadsGiveTheOneThreadRun) {
  ScratchDir dir("cli_jobs_groups");
  // 40 groups of one image each; with large, every 13th claims 4096 x 4096.
  const auto moduleOf = [&](const std::string& name, bool large) {
    std::vector<PeResource> r;
    for (uint16_t id = 1; id <= 40; ++id) {
      const int side = 16 + id % 5 * 8;
      const Bytes image = large && id % 13 == 0 ? MakePng(4096, 4096) : MakeDib(side, side, 8, 256);
      r.push_back({kResourceTypeGroupIcon, "", id, 0x0409, GroupDirectoryOf({{id, image}}, false)});
      r.push_back({kResourceTypeIcon, "", id, 0x0409, image});
    }
    const std::string path = dir.Path(name);
    EXPECT_TRUE(WriteWholeFile(path, BuildPe(r)));
    return path;
  };
  const std::string module = moduleOf("many.dll", false);
  const Seeds seeds = {"1.ico", "5.ico/", "same.ico", "same-3.ico/", "same-7.ico"};
  for (const char* conflict : {"rename", "skip", "overwrite"}) {
    for (const char* name : {"", "same", "g{id}"}) {
      std::vector<std::string> args = {"extract", "--jsonl",       "-v",    module, "-o",
                                       "{out}",   "--on-conflict", conflict};
      if (*name) args.insert(args.end(), {"--output-name", name});
      ExpectSameWithJobs(args, dir, std::string(conflict) + " " + name, seeds);
    }
  }
  // Groups past the pixel budget are refused as on one thread (the first of
  // 4096 x 4096 takes the budget's floor, the next two are refused),
  // however long each takes to make on its thread.
  const std::string large = moduleOf("large.dll", true);
  const Outcome one = RunWithJobs({"extract", large, "-o", "{out}"}, dir.Path("refused"), 1, {});
  EXPECT_NE(one.err.find("group 26 "), std::string::npos) << one.err;
  EXPECT_NE(one.err.find("group 39 "), std::string::npos) << one.err;
  EXPECT_EQ(one.err.find("group 13 "), std::string::npos) << one.err;
  ExpectSameWithJobs({"extract", "-v", "--json", large, "-o", "{out}"}, dir, "refused");
}

}  // namespace
}  // namespace vantorico

// --output-name: names from the resource, safe on every file system, and
// collisions that lose nothing.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/file_seam.h"
#include "cli/output_name.h"
#include "pe_builder.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

TEST(OutputNames, UnsafeNamesBecomeSafeOnes) {
  const std::string longName(300, 'a');
  const std::string cutInsideUtf8 = std::string(199, 'b') + "\xE4\xB8\xAD";  // 中 at 199..201
  const struct {
    std::string name, safe;
  } cases[] = {
      {"IDI_APP", "IDI_APP"},
      {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {std::string("tab\there\x01\x7F"), "tab_here__"},
      {"..", "__"},
      {".", "_"},
      {"", "_"},
      {"name. ", "name__"},
      {"CON", "_CON"},
      {"con.tar", "_con.tar"},
      {"Com1", "_Com1"},
      {"lpt9.x", "_lpt9.x"},
      {"COM10", "COM10"},
      {"CONSOLE", "CONSOLE"},
      {"\xE5\x9B\xBE\xE6\xA0\x87", "\xE5\x9B\xBE\xE6\xA0\x87"},
      {longName, std::string(kMaxNameStem, 'a')},
      {cutInsideUtf8, std::string(199, 'b')},
  };
  for (const auto& c : cases) EXPECT_EQ(SafeFileName(c.name), c.safe) << c.name;
}

TEST(OutputNames, TemplatesPutTheFieldsIn) {
  NameFields f;
  f.n = "3";
  f.id = "";
  f.name = "A/B";
  f.lang = "1033";
  f.type = "14";
  f.source = "x.dll";
  EXPECT_EQ(NameFromTemplate("{source}_{type}_{name}_{lang}", f), "x.dll_14_A_B_1033");
  EXPECT_EQ(NameFromTemplate("{n}-{id}-{n}", f), "3--3");
  EXPECT_EQ(NameFromTemplate("}{n}{", f), "}3{");
  EXPECT_EQ(CheckNameTemplate("{n}_{lang}"), "");
  for (const char* bad : {"", "{N}", "{name", "{size}"}) {
    EXPECT_NE(CheckNameTemplate(bad), "") << bad;
  }
}

class CliNames : public ::testing::Test {
 protected:
  void SetUp() override {
    const Bytes dib = MakeDib(16, 16, 4, 16);
    const Bytes group = GroupDirectoryOf({{1, dib}}, false);
    ASSERT_TRUE(WriteWholeFile(module_, BuildPe({{14, "CON", 0, 0x0409, group},
                                                 {14, "A/B", 0, 0x0409, group},
                                                 {14, "A/B", 0, 0x0804, group},
                                                 {14, "..", 0, 0x0409, group},
                                                 {14, "", 7, 0x0409, group},
                                                 {3, "", 1, 0x0409, dib},
                                                 {22, "", 2, 0x0409, AnimatedCursorBytes(3)}})));
  }
  std::set<std::string> Extract(std::vector<std::string> more, const std::string& out, int* code) {
    // The language choice fixed: {lang} names the language chosen.
    std::vector<std::string> args = {"extract", module_, "-o", out, "--lang", "0x0409"};
    args.insert(args.end(), more.begin(), more.end());
    std::string text, err;
    *code = RunCli(args, &text, &err);
    std::set<std::string> leaves;
    std::vector<WalkItem> items;
    WalkFolder(out, false, &items);
    for (const WalkItem& item : items) leaves.insert(item.name);
    return leaves;
  }
  ScratchDir dir_{"cli_names"};
  std::string module_ = dir_.Path("m.dll");
};

TEST_F(CliNames, NamesFromTheResource) {
  const struct {
    std::vector<std::string> args;
    std::set<std::string> leaves;
  } cases[] = {
      {{"--output-name", "{source}_{type}_{name}_{lang}"},
       {"m.dll_14_A_B_1033.ico", "m.dll_14_CON_1033.ico", "m.dll_14_.._1033.ico",
        "m.dll_14_7_1033.ico", "m.dll_22_2_1033.ani"}},
      {{"--output-name", "{name}"}, {"A_B.ico", "_CON.ico", "__.ico", "7.ico", "2.ani"}},
      // One name for every group: each output keeps its own file.
      {{"--output-name", "same", "--type", "all"},
       {"same.ico", "same-2.ico", "same-3.ico", "same-4.ico", "same.ani"}},
      // The language in the template, or after it as -0x0409 when absent.
      {{"--output-name", "{id}{name}_{lang}", "--all-languages", "--name", "A/B"},
       {"A_B_1033.ico", "A_B_2052.ico"}},
      {{"--output-name", "g{n}", "--all-languages", "--name", "A/B"},
       {"g2-0x0409.ico", "g2-0x0804.ico"}},
  };
  int round = 0;
  for (const auto& c : cases) {
    int code = -1;
    const std::string out = dir_.Path("out" + std::to_string(round++));
    EXPECT_EQ(Extract(c.args, out, &code), c.leaves) << c.args[1];
    EXPECT_EQ(code, kExitOk) << c.args[1];
  }
  // rename keeps what is there; skip leaves it alone.
  int code = -1;
  const std::string out = dir_.Path("again");
  Extract({"--output-name", "{name}"}, out, &code);
  EXPECT_EQ(Extract({"--output-name", "{name}", "--on-conflict", "rename"}, out, &code),
            (std::set<std::string>{"A_B.ico", "_CON.ico", "__.ico", "7.ico", "A_B-2.ico",
                                   "_CON-2.ico", "__-2.ico", "7-2.ico", "2.ani", "2-2.ani"}));
  EXPECT_EQ(code, kExitOk);
  std::string text, err;
  EXPECT_EQ(RunCli({"extract", module_, "--output-name", "{size}"}, &text, &err), kExitUsage);
  EXPECT_EQ(RunCli({"list", module_, "--output-name", "{n}"}, &text, &err), kExitUsage);
}

}  // namespace
}  // namespace vantorico

// libvantorico and the Python module as their users get them: the build is
// installed into a scratch prefix (cmake --install), C programs are compiled
// against it through pkg-config, and Python imports the module from it.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/test_inputs.h"

namespace {

namespace fs = std::filesystem;
const std::string kBinary = VANTORICO_BINARY_DIR;
const std::string kSource = VANTORICO_SOURCE_DIR;
// Each test (ctest runs each in a process of its own, in parallel) installs
// into a folder of its own.
std::string kScratch, kPrefix, kLibDir, kPkgEnv, kRunEnv;

// The exit status of a shell command (its output goes to the test's log).
int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class InstalledTree : public ::testing::Test {
 public:
  void SetUp() override {
    kScratch = kBinary + "/test-scratch/capi/" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
    kPrefix = kScratch + "/inst";
    kLibDir = kPrefix + "/" VANTORICO_INSTALL_LIBDIR;
    kPkgEnv = "export PKG_CONFIG_PATH='" + kLibDir + "/pkgconfig'; ";
    kRunEnv = "LD_LIBRARY_PATH='" + kLibDir + "' ";
    fs::remove_all(kScratch);
    fs::create_directories(kScratch);
    ASSERT_EQ(Shell("cmake --install '" + kBinary + "' --prefix '" + kPrefix + "' >'" + kScratch +
                    "/install.log' 2>&1"),
              0)
        << "cmake --install failed: " << kScratch;
  }

  // Compiles a C file against the installed tree; the program's path.
  static std::string Compile(const std::string& source, const std::string& name,
                             const std::string& flags = "") {
    const std::string out = kScratch + "/" + name;
    const std::string cmd = kPkgEnv + "cc -std=c89 -pedantic -Wall -Wextra -Werror " + flags +
                            " -o '" + out + "' '" + source +
                            "' $(pkg-config --cflags --libs vantorico) -lpthread";
    EXPECT_EQ(Shell(cmd), 0) << cmd;
    return out;
  }

  // What the CLI extracts from file into a folder of its own; how many files.
  // (Its status is 3 for a source with groups that do not read.)
  static long CliExtract(const std::string& file, const std::string& dir) {
    fs::remove_all(dir);
    const std::string cmd = "LC_ALL=C '" + kBinary + "/cli/vantorico' extract --type all -q -o '" +
                            dir + "' '" + file + "'";
    const int status = Shell(cmd);
    EXPECT_TRUE(status == 0 || status == 3) << cmd;
    if (!fs::is_directory(dir)) return 0;
    return std::distance(fs::directory_iterator(dir), fs::directory_iterator{});
  }
};

const std::string kTestModule = kBinary + "/tests/iconlib/test_module32.dll";

TEST_F(InstalledTree, PkgConfigGivesTheInstalledLibrary) {
  EXPECT_EQ(Shell(kPkgEnv + "pkg-config --exists --print-errors 'vantorico >= 1.0'"), 0);
  EXPECT_TRUE(fs::exists(kLibDir + "/libvantorico.so.1"));
  EXPECT_TRUE(fs::is_symlink(kLibDir + "/libvantorico.so"));
  EXPECT_TRUE(fs::exists(kLibDir + "/libvantorico.a"));
  EXPECT_TRUE(fs::exists(kLibDir + "/cmake/Vantorico/VantoricoConfig.cmake"));
  // Only the C interface is exported.
  const std::string symbols = kScratch + "/symbols.txt";
  ASSERT_EQ(Shell("nm -D --defined-only '" + kLibDir + "/libvantorico.so.1' | awk '{print $3}' >'" +
                  symbols + "'"),
            0);
  std::ifstream in(symbols);
  int exported = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line == "VANTORICO_1") continue;
    EXPECT_EQ(line.rfind("vantorico_", 0), 0u) << line << " is exported";
    ++exported;
  }
  EXPECT_EQ(exported, 19);
}

TEST_F(InstalledTree, HeaderIsC89AndCxx) {
  const std::string c = kScratch + "/header_only.c";
  std::ofstream(c) << "#include <vantorico/vantorico.h>\nint main(void) { return 0; }\n";
  EXPECT_EQ(Shell(kPkgEnv + "cc -std=c89 -pedantic -Wall -Wextra -Werror -fsyntax-only " +
                  "$(pkg-config --cflags vantorico) '" + c + "'"),
            0);
  EXPECT_EQ(Shell(kPkgEnv + "c++ -std=c++98 -pedantic -Wall -Wextra -Werror -x c++ -fsyntax-only " +
                  "$(pkg-config --cflags vantorico) '" + c + "'"),
            0);
}

// From the path and from memory, every group's bytes are the CLI's.
void ExpectCliBytes(const std::string& file, const std::string& name, const std::string& flags) {
  const std::string check =
      InstalledTree::Compile(kSource + "/tests/capi/installed_check.c", "check_" + name, flags);
  const std::string dir = kScratch + "/cli-" + name;
  const long files = InstalledTree::CliExtract(file, dir);
  EXPECT_GT(files, 0);
  EXPECT_EQ(
      Shell(kRunEnv + "'" + check + "' '" + file + "' '" + dir + "' " + std::to_string(files)), 0);
}

TEST_F(InstalledTree, BuiltModuleBytesEqualTheCli) {
  ExpectCliBytes(kTestModule, "module", "");
}

TEST_F(InstalledTree, Shell32BytesEqualTheCli) {
  const std::string shell32 = vantorico::testing::WineFile("shell32.dll");
  VANTORICO_REQUIRE_INPUT(!shell32.empty(), "Wine's shell32.dll");
  ExpectCliBytes(shell32, "shell32", "");
}

// Cursor groups: .cur files as the CLI writes them.
TEST_F(InstalledTree, User32CursorsEqualTheCli) {
  const std::string user32 = vantorico::testing::WineFile("user32.dll");
  VANTORICO_REQUIRE_INPUT(!user32.empty(), "Wine's user32.dll");
  ExpectCliBytes(user32, "user32", "");
  EXPECT_TRUE(fs::exists(kScratch + "/cli-user32/1.cur"));
}

TEST_F(InstalledTree, StaticLibraryLinksThroughPkgConfig) {
  const std::string out = kScratch + "/check_static";
  const std::string cmd =
      kPkgEnv + "cc -std=c89 -pedantic -Werror -DVANTORICO_STATIC_BUILD -o '" + out + "' '" +
      kSource + "/tests/capi/installed_check.c' " +
      "$(pkg-config --cflags vantorico) -Wl,-Bstatic -lvantorico -Wl,-Bdynamic " +
      "$(pkg-config --static --libs vantorico | sed 's/-lvantorico//')";
  ASSERT_EQ(Shell(cmd), 0) << cmd;
  EXPECT_EQ(Shell("ldd '" + out + "' | grep -q libvantorico"), 1) << "linked the shared library";
  const std::string dir = kScratch + "/cli-static";
  const long files = CliExtract(kTestModule, dir);
  EXPECT_EQ(Shell("'" + out + "' '" + kTestModule + "' '" + dir + "' " + std::to_string(files)), 0);
}

TEST_F(InstalledTree, ExampleListsAndExtracts) {
  const std::string example = Compile(kSource + "/examples/list_extract.c", "list_extract");
  const std::string out = kScratch + "/example-out";
  fs::create_directories(out);
  ASSERT_EQ(Shell(kRunEnv + "'" + example + "' '" + kTestModule + "' '" + out + "' >'" + kScratch +
                  "/example.txt'"),
            0);
  const std::string cli = kScratch + "/cli-example";
  CliExtract(kTestModule, cli);
  EXPECT_FALSE(Slurp(out + "/1.ico").empty());
  EXPECT_EQ(Slurp(out + "/1.ico"), Slurp(cli + "/1.ico"));
  EXPECT_NE(Slurp(kScratch + "/example.txt").find("image"), std::string::npos);
}

TEST_F(InstalledTree, CMakePackageConfigFindsTheLibrary) {
  const std::string project = kScratch + "/cmake-user";
  fs::create_directories(project);
  std::ofstream(project + "/CMakeLists.txt")
      << "cmake_minimum_required(VERSION 3.16)\nproject(user C)\n"
         "find_package(Vantorico 1.0 REQUIRED)\n"
         "add_executable(check "
      << kSource
      << "/tests/capi/installed_check.c)\n"
         "target_link_libraries(check PRIVATE Vantorico::vantorico)\n";
  EXPECT_EQ(Shell("cmake -S '" + project + "' -B '" + project + "/build' -DCMAKE_PREFIX_PATH='" +
                  kPrefix + "' >'" + project + ".log' 2>&1 && cmake --build '" + project +
                  "/build' >>'" + project + ".log' 2>&1"),
            0)
      << project << ".log";
  const std::string dir = kScratch + "/cli-cmake";
  const long files = CliExtract(kTestModule, dir);
  EXPECT_EQ(Shell("'" + project + "/build/check' '" + kTestModule + "' '" + dir + "' " +
                  std::to_string(files)),
            0);
}

// The Python module's tests, importing it from the installed tree only.
TEST_F(InstalledTree, PythonModuleFromTheInstalledTree) {
  const std::string shell32 = vantorico::testing::WineFile("shell32.dll");
  const std::string user32 = vantorico::testing::WineFile("user32.dll");
  VANTORICO_REQUIRE_INPUT(!shell32.empty() && !user32.empty(), "Wine's shell32.dll and user32.dll");
  const std::string dir = kScratch + "/cli-python";
  ASSERT_GT(CliExtract(kTestModule, dir), 0);
  const std::string cmd =
      "cd / && PYTHONPATH='" + kPrefix + "/" VANTORICO_PYTHON_DIR "' " + "VANTORICO_PREFIX='" +
      kPrefix + "' VANTORICO_FIXTURES='" + kBinary + "/tests/python' VANTORICO_MODULE='" +
      kTestModule + "' VANTORICO_CLI_DIR='" + dir + "' VANTORICO_SHELL32='" + shell32 +
      "' VANTORICO_USER32='" + user32 + "' VANTORICO_SOURCE='" + kSource +
      "' " VANTORICO_PYTHON3 " -B '" + kSource + "/tests/python/test_vantorico.py'";
  EXPECT_EQ(Shell(cmd), 0) << cmd;
}

// examples/dask_scan.py on a two-worker LocalCluster, the module imported
// from the installed tree: the CLI's listing of the same folder, line for line.
TEST_F(InstalledTree, DaskScanGivesTheCliListing) {
  const std::string folder = vantorico::testing::WinePeDir(true);
  VANTORICO_REQUIRE_INPUT(!folder.empty() && fs::is_directory(folder), "Wine's x86_64 PE folder");
  const std::string scan = kScratch + "/scan.jsonl";
  const std::string cli = kScratch + "/cli.jsonl";
  const std::string cmd = "cd '" + kScratch + "' && PYTHONPATH='" + kPrefix +
                          "/" VANTORICO_PYTHON_DIR "' " VANTORICO_PYTHON3 " -B '" + kSource +
                          "/examples/dask_scan.py' '" + folder + "' '" + scan + "'";
  ASSERT_EQ(Shell(cmd), 0) << cmd;
  // The CLI says 1 when some file has no icons.
  const int listed = Shell("LC_ALL=C '" + kBinary + "/cli/vantorico' list -r --jsonl '" + folder +
                           "' >'" + cli + "' 2>/dev/null");
  EXPECT_TRUE(listed == 0 || listed == 1) << listed;
  EXPECT_EQ(Shell(VANTORICO_PYTHON3 " '" + kSource + "/tests/python/compare_listings.py' '" + scan +
                  "' '" + cli + "' 100"),
            0);
}

}  // namespace

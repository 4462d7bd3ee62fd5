// The worker's confinement as the system reports it. The probe build of the
// thumbnailer (the same program with VANTORICO_THUMBNAILER_PROBE) prints its
// /proc/self/status and /proc/self/limits once confined, then makes the
// forbidden call VANTORICO_PROBE_CALL names: the worker must die of SIGSYS
// before the call returns, and no picture stays.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "installed_thumbnailer.h"
#include "thumbnailer/thumbnailer_limits.h"

namespace vantorico {
namespace {

namespace fs = std::filesystem;
using testing::Quote;

class Confinement : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vantorico-confinement-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    input_ = dir_ / "library.icl";
    ASSERT_TRUE(testing::WriteWholeFile(input_.string(), testing::MakeNeIconLibrary()));
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs the probe with VANTORICO_PROBE_CALL=call (none when empty).
  int Probe(const std::string& call, const fs::path& output) {
    const std::string command =
        (call.empty() ? std::string() : "VANTORICO_PROBE_CALL=" + call + " ") +
        Quote(std::string(VANTORICO_BINARY_DIR) + "/thumbnailer/vantorico-thumbnailer-probe") +
        " -s 32 " + Quote(input_.string()) + " " + Quote(output.string()) + " >" +
        Quote((dir_ / "stdout").string()) + " 2>" + Quote((dir_ / "stderr").string());
    const int status = testing::ShellStatus(command);
    stdout_ = testing::ReadText(dir_ / "stdout");
    stderr_ = testing::ReadText(dir_ / "stderr");
    return status;
  }

  // The value a /proc line "Name<spaces>value..." starts with.
  std::string Field(const std::string& name) const {
    const size_t at = stdout_.find(name);
    if (at == std::string::npos) return std::string();
    const size_t begin = stdout_.find_first_not_of(" \t", at + name.size());
    return stdout_.substr(begin, stdout_.find_first_of(" \t\n", begin) - begin);
  }

  fs::path dir_, input_;
  std::string stdout_, stderr_;
};

TEST_F(Confinement, TheWorkerRunsFilteredAndLimited) {
  const fs::path out = dir_ / "t.png";
  ASSERT_EQ(Probe("", out), testing::kExitWritten) << stderr_;
  EXPECT_EQ(Field("Seccomp:"), "2");  // filter mode
  EXPECT_EQ(Field("NoNewPrivs:"), "1");
  EXPECT_EQ(Field("Max cpu time"), std::to_string(kThumbnailerCpuSeconds));
  EXPECT_EQ(Field("Max file size"), std::to_string(kThumbnailerMaxOutputBytes));
  EXPECT_EQ(Field("Max core file size"), "0");
#if !defined(__SANITIZE_ADDRESS__)
  EXPECT_EQ(Field("Max address space"), std::to_string(kThumbnailerAddressSpaceBytes));
#endif
  // Confined, it still did its work.
  EXPECT_GT(fs::file_size(out), 0u);
}

TEST_F(Confinement, AForbiddenCallKillsTheWorker) {
  for (const char* call : {"open", "execve"}) {
    const fs::path held = dir_ / "held.png";
    ASSERT_TRUE(testing::WriteWholeFile(held.string(), testing::Bytes{1, 2, 3}));
    EXPECT_EQ(Probe(call, held), testing::kExitStopped) << call << ": " << stderr_;
    EXPECT_EQ(Field("Seccomp:"), "2") << call;
    EXPECT_NE(stderr_.find("SIGSYS"), std::string::npos) << call << ": " << stderr_;
    EXPECT_EQ(stderr_.find("the forbidden call returned"), std::string::npos) << call;
    EXPECT_EQ(fs::file_size(held), 0u) << call;
    const fs::path absent = dir_ / "absent.png";
    EXPECT_EQ(Probe(call, absent), testing::kExitStopped) << call;
    EXPECT_FALSE(fs::exists(absent)) << call;
  }
}

}  // namespace
}  // namespace vantorico

// The worker's confinement as the system reports it. The probe build of the
// thumbnailer (the same program with VANTORICO_THUMBNAILER_PROBE) prints its
// /proc/self/status and /proc/self/limits once confined, then makes the
// forbidden call VANTORICO_PROBE_CALL names: the worker must die of SIGSYS
// before the call returns, and no picture stays.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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

  static std::string ProbeProgram() {
    return std::string(VANTORICO_BINARY_DIR) + "/thumbnailer/vantorico-thumbnailer-probe";
  }

  // Runs the probe with VANTORICO_PROBE_CALL=call (none when empty).
  int Probe(const std::string& call, const fs::path& output) {
    const std::string command =
        (call.empty() ? std::string() : "VANTORICO_PROBE_CALL=" + call + " ") +
        Quote(ProbeProgram()) + " -s 32 " + Quote(input_.string()) + " " + Quote(output.string()) +
        " >" + Quote((dir_ / "stdout").string()) + " 2>" + Quote((dir_ / "stderr").string());
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

TEST_F(Confinement, AFailedCheckAbortsAsItWouldUnconfined) {
  const fs::path out = dir_ / "t.png";
  EXPECT_EQ(Probe("abort", out), testing::kExitStopped) << stderr_;
  EXPECT_NE(stderr_.find("SIGABRT"), std::string::npos) << stderr_;
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(Confinement, TheCpuTimeLimitStopsARunawayWorker) {
  const fs::path held = dir_ / "held.png";
  ASSERT_TRUE(testing::WriteWholeFile(held.string(), testing::Bytes{1, 2, 3}));
  EXPECT_EQ(Probe("spin", held), testing::kExitStopped) << stderr_;
  EXPECT_NE(stderr_.find("SIGXCPU"), std::string::npos) << stderr_;
  EXPECT_EQ(fs::file_size(held), 0u);
}

// A sanitizer build runs without the address-space limit (its shadow memory
// needs terabytes of address space), so the case exists only elsewhere.
#if !defined(__SANITIZE_ADDRESS__)
TEST_F(Confinement, TheAddressSpaceLimitRefusesLargeAllocations) {
  const fs::path out = dir_ / "t.png";
  EXPECT_EQ(Probe("allocate", out), testing::kExitNoIcon) << stderr_;
  EXPECT_NE(stderr_.find("more memory than the limit allows"), std::string::npos) << stderr_;
  EXPECT_FALSE(fs::exists(out));
}
#endif

// A system where seccomp cannot be set up (an old kernel, a container that
// forbids it): made here by a filter of the test's own, which makes seccomp()
// fail with ENOSYS and prctl(PR_SET_SECCOMP) with EINVAL, as such kernels do.
TEST_F(Confinement, WithoutSeccompTheLimitsStillHold) {
  const fs::path out = dir_ / "t.png";
  const std::string program = ProbeProgram(), in = input_.string(), o = out.string();
  const std::string so = (dir_ / "stdout").string(), se = (dir_ / "stderr").string();
  const pid_t child = fork();
  if (child == 0) {
    scmp_filter_ctx ctx = seccomp_init(SCMP_ACT_ALLOW);
    if (!ctx || seccomp_rule_add(ctx, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(seccomp), 0) != 0 ||
        seccomp_rule_add(ctx, SCMP_ACT_ERRNO(EINVAL), SCMP_SYS(prctl), 1,
                         SCMP_A0(SCMP_CMP_EQ, PR_SET_SECCOMP)) != 0 ||
        seccomp_load(ctx) != 0) {
      _exit(120);
    }
    const int fo = open(so.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int fe = open(se.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fo, STDOUT_FILENO);
    dup2(fe, STDERR_FILENO);
    execl(program.c_str(), program.c_str(), "-s", "32", in.c_str(), o.c_str(),
          static_cast<char*>(nullptr));
    _exit(121);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  stdout_ = testing::ReadText(dir_ / "stdout");
  stderr_ = testing::ReadText(dir_ / "stderr");
  ASSERT_EQ(WEXITSTATUS(status), testing::kExitWritten) << stderr_;
  EXPECT_NE(stderr_.find("seccomp unavailable"), std::string::npos) << stderr_;
  EXPECT_NE(stderr_.find("running with the resource limits only"), std::string::npos);
  EXPECT_EQ(Field("Seccomp_filters:"), "1");  // the test's own, not the program's
  EXPECT_EQ(Field("Max cpu time"), std::to_string(kThumbnailerCpuSeconds));
  EXPECT_EQ(Field("Max file size"), std::to_string(kThumbnailerMaxOutputBytes));
  EXPECT_GT(fs::file_size(out), 0u);
}

}  // namespace
}  // namespace vantorico

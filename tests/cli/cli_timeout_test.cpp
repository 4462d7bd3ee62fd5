// --timeout: a source that takes longer to read fails as a source (its
// message, its document's status, the exit code) and the run goes on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "test_support.h"

namespace vantorico {
namespace {

using namespace vantorico::testing;

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST(CliTimeout, ASourcePastItsTimeoutFailsAndTheRunGoesOn) {
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!module.empty(), "test modules");
  ScratchDir dir("cli_timeout");
  // A nanosecond is over before the first read: every source times out,
  // each on its own, and nothing is written.
  for (const char* command : {"list", "extract"}) {
    std::vector<std::string> args = {command,       "--jsonl", "-v",  "--timeout",
                                     "0.000000001", module,    module};
    if (std::string(command) == "extract") args.insert(args.end(), {"-o", dir.Path("out")});
    std::string out, err;
    const int code = RunCli(args, &out, &err);
    SCOPED_TRACE(command);
    EXPECT_EQ(code, 3);
    EXPECT_EQ(Count(err, "took more than 0.000000001 seconds to read (--timeout); not read"), 2u)
        << err;
    EXPECT_EQ(Count(out, "\"status\":3,\"error\":"), 2u) << out;
    EXPECT_NE(err.find("2 sources, "), std::string::npos) << err;
    EXPECT_NE(err.find("2 unreadable"), std::string::npos) << err;
  }
  // A timeout the reading keeps to changes nothing.
  std::string plainOut, plainErr, timedOut, timedErr;
  const int plain = RunCli({"list", "--json", module, module}, &plainOut, &plainErr);
  const int timed =
      RunCli({"list", "--json", "--timeout", "3600", module, module}, &timedOut, &timedErr);
  EXPECT_EQ(timed, plain);
  EXPECT_EQ(timedOut, plainOut);
  EXPECT_EQ(timedErr, plainErr);
}

TEST(CliTimeout, SecondsAboveZero) {
  const std::string module = TestModulePath(false);
  VANTORICO_REQUIRE_INPUT(!module.empty(), "test modules");
  const struct {
    const char* seconds;
    bool ok;
  } cases[] = {{"60", true},   {"0.5", true},  {".25", true},       {"31536000", true},
               {"0", false},   {"0.0", false}, {"-1", false},       {"1.", false},
               {"abc", false}, {"1e3", false}, {"31536001", false}, {"0.0000000001", false}};
  for (const auto& c : cases) {
    std::string out, err;
    const int code = RunCli({"list", "--timeout", c.seconds, module}, &out, &err);
    EXPECT_EQ(code != 2, c.ok) << c.seconds << ": " << err;
    if (!c.ok) {
      EXPECT_NE(err.find("--timeout needs a number of seconds"), std::string::npos) << err;
    }
  }
}

}  // namespace
}  // namespace vantorico

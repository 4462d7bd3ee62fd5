#include "cli_run.h"

#include <algorithm>

#include "cli/cli_app.h"

namespace vantorico::testing {
namespace {

class Collect final : public CliSink {
 public:
  explicit Collect(CliRun* r) : r_(r) {}
  bool Out(const std::string& t) override {
    r_->out += t;
    return true;
  }
  void Err(const std::string& t) override { r_->err += t; }

 private:
  CliRun* r_;
};

}  // namespace

CliRun Cli(const std::vector<std::string>& args, uint16_t userLanguage) {
  CliRun r;
  Collect sink(&r);
  CliEnvironment env;
  env.userLanguage = userLanguage;
  r.code = RunCli(args, env, sink);
  return r;
}

size_t Lines(const std::string& s) {
  return static_cast<size_t>(std::count(s.begin(), s.end(), '\n'));
}

std::string Text(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace vantorico::testing

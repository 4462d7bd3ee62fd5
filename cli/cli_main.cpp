#include <chrono>
#include <string>
#include <vector>

#include "base/heap.h"
#include "cli/cli_app.h"
#include "cli/console.h"
#include "cli/file_seam.h"

namespace {

// Text goes out as it is made. A progress line is drawn on standard error
// only when it is a terminal and the run has taken more than a second.
class ConsoleSink final : public vantorico::CliSink {
 public:
  ConsoleSink() : terminal_(vantorico::StandardErrorIsTerminal()), start_(Clock::now()) {}
  bool Out(const std::string& text) override {
    ClearProgress();
    return vantorico::WriteStandardOutput(text);
  }
  void Err(const std::string& text) override {
    ClearProgress();
    vantorico::WriteStandardError(text);
  }
  void Progress(size_t done, size_t total, const std::string& file) override {
    if (!terminal_ || !quietOk_) return;
    if (done >= total) {
      ClearProgress();
      return;
    }
    if (Clock::now() - start_ < std::chrono::seconds(1)) return;
    std::string line = "[" + std::to_string(done + 1) + "/" + std::to_string(total) + "] " + file;
    if (line.size() > kWidth) line = line.substr(0, kWidth - 3) + "...";
    // Blanks over the rest of the last line: no terminal escapes needed.
    vantorico::WriteStandardError("\r" + line + std::string(kWidth - line.size(), ' '));
    shown_ = true;
  }
  void Quiet() { quietOk_ = false; }

 private:
  using Clock = std::chrono::steady_clock;
  static constexpr size_t kWidth = 76;
  void ClearProgress() {
    if (!shown_) return;
    vantorico::WriteStandardError("\r" + std::string(kWidth, ' ') + "\r");
    shown_ = false;
  }
  bool terminal_;
  bool quietOk_ = true;
  bool shown_ = false;
  Clock::time_point start_;
};

}  // namespace

int main(int argc, char** argv) {
  vantorico::KeepFreedMemoryInProcess();
  const vantorico::ConsoleSession session;
  const std::vector<std::string> args = vantorico::CommandLineArguments(argc, argv);
  ConsoleSink sink;
  for (const std::string& a : args) {
    if (a == "--") break;
    if (a == "-q" || a == "--quiet") sink.Quiet();
  }
  vantorico::CliEnvironment env;
  env.userLanguage = vantorico::UserLanguageOfSystem();
  return vantorico::RunCli(args, env, sink);
}

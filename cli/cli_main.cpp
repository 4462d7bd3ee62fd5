#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string out, err;
  int code = vantorico::RunCli(args, &out, &err);
  // A listing that does not reach its reader (a full disk, a closed pipe)
  // is a failure like any other write.
  const bool out_ok = std::fwrite(out.data(), 1, out.size(), stdout) == out.size() &&
                      std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (!out_ok) {
    err += "vantorico: cannot write to standard output\n";
    if (code == vantorico::kExitOk) code = vantorico::kExitOutputFailed;
  }
  std::fwrite(err.data(), 1, err.size(), stderr);
  return code;
}

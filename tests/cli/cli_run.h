#pragma once
// Runs the command line in process with a given user language (0: unknown)
// and collects what it prints.
#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace vantorico {
namespace testing {

struct CliRun {
  int code;
  std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args, uint16_t userLanguage = 0);

size_t Lines(const std::string& s);
std::string Text(const Bytes& b);

}  // namespace testing
}  // namespace vantorico

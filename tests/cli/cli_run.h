#pragma once
// The command line run in process, its output collected.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantorico::testing {

struct CliRun {
  int code;
  std::string out, err;
};

// A run whose user language is the one given (as the locale would give it).
CliRun Cli(const std::vector<std::string>& args, uint16_t userLanguage = 0);

// How many lines s holds.
size_t Lines(const std::string& s);

// Bytes as text.
std::string Text(const std::vector<uint8_t>& bytes);

}  // namespace vantorico::testing

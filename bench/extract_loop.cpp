// The tool's extraction loop, alone: ExtractFileIcon for i = 1 .. 1000 in
// mode 0 into DIR/i.ico. With --once it stops after the file's last group,
// which is the least any extractor must do.
#include <cstdio>
#include <cstring>
#include <string>

#include "base/arg_slot.h"
#include "iconlib/command/extract_file_icon.h"

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

int32_t ExtractOne(const char* source, const std::string& output, int32_t index) {
  using namespace vantorico;
  ArgSlot args[4] = {TextSlot(source), IntSlot(ExtractToFile), TextSlot(output.c_str()),
                     IntSlot(index)};
  ArgSlot result{};
  ExtractFileIcon(&result, 4, args);
  return SlotInt(result);
}

}  // namespace

int main(int argc, char** argv) {
  const bool once = argc == 4 && std::strcmp(argv[1], "--once") == 0;
  if (argc != 3 && !once) {
    std::fprintf(stderr, "usage: extract_loop [--once] FILE DIR\n");
    return 2;
  }
  const char* source = argv[once ? 2 : 1];
  const std::string dir = std::string(argv[once ? 3 : 2]) + kSeparator;
  for (int32_t i = 1; i <= vantorico::MaxIconGroups; ++i) {
    const int32_t groups = ExtractOne(source, dir + std::to_string(i) + ".ico", i);
    if (once && i >= groups) break;
  }
  return 0;
}

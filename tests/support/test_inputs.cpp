#include "tests/support/test_inputs.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace vantorico::testing {
namespace fs = std::filesystem;
namespace {

// The project's cache (scripts/machine.sh names the same folder), in the
// platform's form. Wine hands Windows programs the Unix environment without
// HOME, and gives the home folder as WINEHOMEDIR instead.
std::string CacheDir() {
  if (const char* own = std::getenv("VANTORICO_WINE_DIR"); own && *own) return PlatformPath(own);
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) {
    return PlatformPath(std::string(xdg) + "/vantorico");
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    return PlatformPath(std::string(home) + "/.cache/vantorico");
  }
#ifdef _WIN32
  if (const char* wine = std::getenv("WINEHOMEDIR"); wine && *wine) {
    std::string home = wine;
    if (home.rfind("\\??\\", 0) == 0) home.erase(0, 4);
    return home + "\\.cache\\vantorico";
  }
#endif
  return std::string();
}

// Where each architecture's PE files may be: Debian's package, then (i386)
// the copy setup unpacked into the project's cache.
std::vector<std::string> WineDirCandidates(bool x86_64) {
  if (x86_64) return {PlatformPath("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows")};
  std::vector<std::string> dirs{PlatformPath("/usr/lib/i386-linux-gnu/wine/i386-windows")};
  const std::string cache = CacheDir();
  if (!cache.empty()) dirs.push_back(cache + "/wine-pe/i386-windows");
  return dirs;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

uint32_t LoadU32(const std::vector<char>& b, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

// The offset of the NE image inside a builtin 16-bit module: an MZ header
// on a 16-byte boundary (past the PE's own) whose new-header offset leads to
// "NE". 0 when there is none.
size_t EmbeddedNeOffset(const std::vector<char>& b) {
  for (size_t at = 16; at + 0x40 <= b.size(); at += 16) {
    if (b[at] != 'M' || b[at + 1] != 'Z') continue;
    const uint32_t next = LoadU32(b, at + 0x3C);
    if (next < 0x40 || next > b.size() - at - 2) continue;
    if (b[at + next] == 'N' && b[at + next + 1] == 'E') return at;
  }
  return 0;
}

}  // namespace

bool InputsRequired() {
  const char* ci = std::getenv("CI");
  return ci && std::string(ci) == "true";
}

std::string PlatformPath(const std::string& hostPath) {
#ifdef _WIN32
  if (!hostPath.empty() && hostPath[0] == '/') {
    std::string p = "Z:" + hostPath;
    for (char& c : p)
      if (c == '/') c = '\\';
    return p;
  }
#endif
  return hostPath;
}

std::string WinePeDir(bool x86_64) {
  for (const std::string& dir : WineDirCandidates(x86_64)) {
    if (Exists(dir + "/shell32.dll")) return dir;
  }
  return std::string();
}

std::string WineFile(const std::string& name) {
  for (bool x86_64 : {false, true}) {
    const std::string dir = WinePeDir(x86_64);
    if (!dir.empty() && Exists(dir + "/" + name)) return dir + "/" + name;
  }
  return std::string();
}

std::string WineNeFile(const std::string& name) {
  const std::string cache = CacheDir();
  if (!cache.empty()) {
    // The 32-bit prefix's copy, where a 32-bit Wine made one.
    const std::string made = cache + "/wine/drive_c/windows/system/" + name;
    if (Exists(made)) return made;
  }
  const std::string builtin = WineFile(name + "16");
  if (builtin.empty()) return std::string();
  std::ifstream in(builtin, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  const size_t at = EmbeddedNeOffset(bytes);
  if (at == 0) return std::string();
  const std::string dir = PlatformPath(std::string(VANTORICO_BINARY_DIR) + "/test-scratch/wine-ne");
  std::error_code ec;
  fs::create_directories(dir, ec);
  const std::string out = dir + "/" + name;
#ifdef _WIN32
  const std::string temporary = out + "." + std::to_string(_getpid()) + ".tmp";
#else
  const std::string temporary = out + "." + std::to_string(getpid()) + ".tmp";
#endif
  {
    // The NE image's offsets count from its MZ header; what follows it is
    // never reached through them.
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(bytes.data() + at, static_cast<std::streamsize>(bytes.size() - at));
    if (!file.flush()) return std::string();
  }
  // Tests run side by side: each writes its own copy and renames it in.
  fs::rename(temporary, out, ec);
  return ec ? std::string() : out;
}

std::string CorpusDir() {
  const std::string p = PlatformPath(std::string(VANTORICO_SOURCE_DIR) + "/../shared/corpus");
  return Exists(p + "/INDEX.tsv") ? p : std::string();
}

}  // namespace vantorico::testing

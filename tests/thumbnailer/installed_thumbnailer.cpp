#include "installed_thumbnailer.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

#include "iconlib/images/png_codec.h"
#include "iconlib/images/rgba_image.h"

namespace vantorico::testing {

namespace fs = std::filesystem;

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string EntryValue(const std::string& text, const std::string& key) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return std::string();
}

int ShellStatus(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Bytes OpaqueDib(uint32_t size) {
  Bytes dib(40, 0);
  PutU32(&dib, 0, 40);
  PutU32(&dib, 4, size);
  PutU32(&dib, 8, size * 2);
  PutU16(&dib, 12, 1);
  PutU16(&dib, 14, 32);
  for (uint32_t y = 0; y < size; ++y)
    for (uint32_t x = 0; x < size; ++x)
      dib.insert(dib.end(), {uint8_t(x * 255 / size), uint8_t(y * 255 / size), 200, 255});
  dib.insert(dib.end(), size_t{(size + 31) / 32 * 4} * size, 0);
  return dib;
}

Bytes MakeNeIconLibrary() {
  const Bytes dib = OpaqueDib(32);
  Bytes group = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 1, 0};
  PutU32(&group, 6 + 8, static_cast<uint32_t>(dib.size()));

  const size_t ne = 64, table = 64, shift = 4;
  Bytes b(ne + table, 0);
  b[0] = 'M';
  b[1] = 'Z';
  PutU32(&b, 0x3C, ne);
  b[ne] = 'N';
  b[ne + 1] = 'E';
  // Resource table: shift, two type records of one name record each, end.
  const size_t tableSize = 2 + 2 * (8 + 12) + 2;
  PutU16(&b, ne + 0x24, table);
  PutU16(&b, ne + 0x26, static_cast<uint16_t>(table + tableSize));
  b.resize(ne + table + tableSize + 16, 0);
  auto align = [&](size_t at) { return (at + 15) & ~size_t{15}; };
  const size_t groupAt = align(b.size());
  const size_t dibAt = align(groupAt + group.size());
  size_t at = ne + table;
  PutU16(&b, at, shift);
  at += 2;
  for (const auto& [type, where, bytes] :
       {std::tuple<uint16_t, size_t, size_t>{0x800E, groupAt, group.size()},
        std::tuple<uint16_t, size_t, size_t>{0x8003, dibAt, dib.size()}}) {
    PutU16(&b, at, type);
    PutU16(&b, at + 2, 1);
    at += 8;
    PutU16(&b, at, static_cast<uint16_t>(where >> shift));
    PutU16(&b, at + 2, static_cast<uint16_t>((bytes + 15) >> shift));
    PutU16(&b, at + 6, 0x8001);
    at += 12;
  }
  b.resize(groupAt, 0);
  b.insert(b.end(), group.begin(), group.end());
  b.resize(dibAt, 0);
  b.insert(b.end(), dib.begin(), dib.end());
  b.resize(align(b.size()), 0);
  return b;
}

std::string CursorFilePath() {
  return std::string(VANTORICO_SOURCE_DIR) + "/tests/data/arrow.cur";
}

fs::path* InstalledThumbnailer::root_ = nullptr;
bool InstalledThumbnailer::installed_ = false;

void InstalledThumbnailer::SetUpTestSuite() {
  root_ = new fs::path(fs::temp_directory_path() /
                       ("vantorico-thumbnailer-" + std::to_string(::getpid())));
  fs::remove_all(*root_);
  fs::create_directories(*root_ / "out");
  const std::string cmd = Quote(VANTORICO_CMAKE) + " --install " + Quote(VANTORICO_BINARY_DIR) +
                          " --prefix " + Quote((*root_ / "prefix").string()) +
                          " --component thumbnailer >/dev/null";
  installed_ = std::system(cmd.c_str()) == 0;
}

void InstalledThumbnailer::TearDownTestSuite() {
  fs::remove_all(*root_);
  delete root_;
  root_ = nullptr;
}

void InstalledThumbnailer::SetUp() {
  ASSERT_TRUE(installed_) << "cmake --install failed";
  const fs::path entry = *root_ / "prefix/share/thumbnailers/vantorico.thumbnailer";
  ASSERT_TRUE(fs::exists(entry));
  text_ = ReadText(entry);
  exec_ = EntryValue(text_, "Exec");
  ASSERT_FALSE(exec_.empty());
  fs::remove_all(*root_ / "out");
  fs::create_directories(*root_ / "out");
}

int InstalledThumbnailer::Run(const std::string& input, const std::string& output, int size,
                              const std::string& prefix) const {
  std::string line = exec_;
  for (const auto& [code, value] : {std::pair<std::string, std::string>{"%s", std::to_string(size)},
                                    {"%i", Quote(input)},
                                    {"%o", Quote(output)}}) {
    const size_t at = line.find(code);
    if (at == std::string::npos) return -1;
    line.replace(at, 2, value);
  }
  return ShellStatus(prefix + " env PATH=" + Quote((*root_ / "prefix/bin").string()) +
                     ":\"$PATH\" " + line + " 2>/dev/null");
}

int InstalledThumbnailer::RunDirect(const std::string& input, const std::string& output,
                                    int size) const {
  const std::string program = Program(), sizeText = std::to_string(size);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execl(program.c_str(), program.c_str(), "-s", sizeText.c_str(), input.c_str(), output.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int InstalledThumbnailer::RunProgram(const std::string& args, std::string* out) const {
  const fs::path captured = *root_ / "stdout.txt";
  const int status =
      ShellStatus(Quote(Program()) + " " + args + " >" + Quote(captured.string()) + " 2>/dev/null");
  if (out) *out = ReadText(captured);
  fs::remove(captured);
  return status;
}

void InstalledThumbnailer::ExpectThumbnail(const std::string& input, int size, uint32_t extent) {
  const std::string out = Out("t" + std::to_string(size) + ".png").string();
  ASSERT_EQ(Run(input, out, size), kExitWritten) << input << " at " << size;
  Bytes png;
  ASSERT_TRUE(ReadWholeFile(out, &png)) << input;
  const PngDecodeResult r = DecodePng(ByteSpan(png.data(), png.size()));
  ASSERT_TRUE(r.ok()) << input << ": " << PngCodecErrorName(r.error);
  EXPECT_EQ(std::max(r.image.width, r.image.height), extent) << input << " at " << size;
  EXPECT_FALSE(IsFullyTransparent(r.image)) << input;
  ExpectOnlyFiles({out});
  fs::remove(out);
}

void InstalledThumbnailer::ExpectOnlyFiles(const std::vector<std::string>& files) const {
  size_t n = 0;
  for (const auto& e : fs::directory_iterator(*root_ / "out")) {
    ++n;
    EXPECT_NE(std::find(files.begin(), files.end(), e.path().string()), files.end())
        << "left behind: " << e.path();
  }
  EXPECT_EQ(n, files.size());
}

}  // namespace vantorico::testing

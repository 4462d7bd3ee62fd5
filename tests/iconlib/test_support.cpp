#include "test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "base/win_handles.h"
#endif

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "base/heap.h"
#include "iconlib/formats/bitmap_file_writer.h"
#include "iconlib/formats/icon_file_writer.h"
#include "iconlib/formats/image_fields.h"
#include "tests/support/png_check.h"

namespace vantorico::testing {

namespace fs = std::filesystem;

Bytes MakeDib(int32_t width, int32_t height, uint16_t bits, uint32_t paletteColors,
              uint16_t planes) {
  const int64_t stride = ((int64_t{bits} * planes * width + 31) >> 3) & ~int64_t{3};
  const int64_t mask_stride = ((int64_t{width} + 31) >> 3) & ~int64_t{3};
  Bytes b(40, 0);
  PutU32(&b, 0, 40);
  PutU32(&b, 4, static_cast<uint32_t>(width));
  PutU32(&b, 8, static_cast<uint32_t>(height * 2));
  PutU16(&b, 12, planes);
  PutU16(&b, 14, bits);
  PutU32(&b, 20, 0x11223344);
  const size_t body = paletteColors * 4 + static_cast<size_t>(stride * height) +
                      static_cast<size_t>(mask_stride * height);
  for (size_t i = 0; i < body; ++i) b.push_back(static_cast<uint8_t>(i * 7 + bits));
  return b;
}

bool RowCollector::Begin(uint32_t width, uint32_t height) {
  ++begins;
  image.width = width;
  image.height = height;
  image.pixels.clear();
  return !refuse;
}

void RowCollector::TakeRow(const uint8_t* rgba) {
  image.pixels.insert(image.pixels.end(), rgba, rgba + size_t{image.width} * 4);
}

Bytes MakePng(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType) {
  Bytes b = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t v : {width, height})
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
  b.insert(b.end(), {bitDepth, colorType, 0, 0, 0, 0xDE, 0xAD, 0xBE, 0xEF});
  // Something past IHDR whose bytes 20-23 region differs from zero.
  for (int i = 0; i < 20; ++i) b.push_back(static_cast<uint8_t>(0xA0 + i));
  return b;
}

Bytes MakeIconFile(const std::vector<Bytes>& images) {
  Bytes out(6 + 16 * images.size(), 0);
  PutU16(&out, 2, 1);
  PutU16(&out, 4, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(out.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out[6 + 16 * i] = 0x77;  // directory fields the reader must ignore
    PutU32(&out, 6 + 16 * i + 8, static_cast<uint32_t>(images[i].size()));
    PutU32(&out, 6 + 16 * i + 12, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const Bytes& img : images) out.insert(out.end(), img.begin(), img.end());
  return out;
}

uint16_t LoadU16(const Bytes& b, size_t at) {
  return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}
uint32_t LoadU32(const Bytes& b, size_t at) {
  return uint32_t{LoadU16(b, at)} | (uint32_t{LoadU16(b, at + 2)} << 16);
}
void PutU16(Bytes* b, size_t at, uint16_t v) {
  b->at(at) = static_cast<uint8_t>(v);
  b->at(at + 1) = static_cast<uint8_t>(v >> 8);
}
void PutU32(Bytes* b, size_t at, uint32_t v) {
  PutU16(b, at, static_cast<uint16_t>(v));
  PutU16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

ScratchDir::ScratchDir(const std::string& name) {
  dir_ = PlatformPath(std::string(VANTORICO_BINARY_DIR) + "/test-scratch/" + name);
  std::error_code ec;
  fs::remove_all(dir_, ec);
  fs::create_directories(dir_, ec);
}
// Every PNG a test leaves in its folder must be a valid file, whatever the
// test itself checked.
ScratchDir::~ScratchDir() {
  for (const std::string& problem : InvalidPngFilesUnder(dir_)) {
    ADD_FAILURE() << "an invalid PNG was written: " << problem;
  }
  std::error_code ec;
  fs::remove_all(dir_, ec);
}
std::string ScratchDir::Path(const std::string& leaf) const {
#ifdef _WIN32
  return dir_ + "\\" + leaf;
#else
  return dir_ + "/" + leaf;
#endif
}

bool ReadWholeFile(const std::string& path, Bytes* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  out->clear();
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0) out->insert(out->end(), buf, buf + n);
  std::fclose(f);
  return true;
}

bool WriteWholeFile(const std::string& path, const Bytes& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::string TestModulePath(bool pe32Plus) {
  const std::string p = PlatformPath(std::string(VANTORICO_BINARY_DIR) + "/tests/iconlib/" +
                                     (pe32Plus ? "test_module64.dll" : "test_module32.dll"));
  return FileExists(p) ? p : std::string();
}

#ifndef _WIN32
SmallTmpfs::SmallTmpfs(const std::string& name, size_t bytes)
    : dir_(std::string(VANTORICO_BINARY_DIR) + "/test-scratch/" + name) {
  fs::remove_all(dir_);
  fs::create_directories(dir_);
  const std::string command =
      "mount -t tmpfs -o size=" + std::to_string(bytes) + " tmpfs '" + dir_ + "' 2>/dev/null";
  mounted_ = std::system(command.c_str()) == 0;
}

SmallTmpfs::~SmallTmpfs() {
  if (mounted_) std::system(("umount '" + dir_ + "' 2>/dev/null").c_str());
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

bool SmallTmpfs::MakeReadOnly() {
  return std::system(("mount -o remount,ro '" + dir_ + "' 2>/dev/null").c_str()) == 0;
}
#else
namespace {

// Starts a host shell command through Wine, which runs host programs but does
// not let a Windows process wait for them.
bool StartHostShell(const std::string& command) {
  std::string line = "/bin/sh -c \"" + command + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA("Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The host's shell runs apart from us: waits until what it was to do shows.
template <typename Done>
bool WaitUntil(Done done) {
  constexpr int kTries = 100;
  constexpr DWORD kPauseMs = 50;
  for (int i = 0; i < kTries; ++i) {
    if (done()) return true;
    Sleep(kPauseMs);
  }
  return false;
}

// Whether the folder's disk is one of at most bytes.
bool DiskIsSmall(const std::string& dir, size_t bytes) {
  ULARGE_INTEGER total{};
  return GetDiskFreeSpaceExA((dir + "\\").c_str(), nullptr, &total, nullptr) &&
         total.QuadPart <= bytes;
}

// Whether a new file can be made in the folder (the probe is gone on close).
bool CanCreateIn(const std::string& dir) {
  const UniqueFile probe(CreateFileA((dir + "\\~probe").c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return static_cast<bool>(probe);
}

}  // namespace

SmallTmpfs::SmallTmpfs(const std::string& name, size_t bytes)
    : host_dir_(std::string(VANTORICO_BINARY_DIR) + "/test-scratch/" + name), bytes_(bytes) {
  dir_ = PlatformPath(host_dir_);
  std::error_code ec;
  fs::remove_all(dir_, ec);
  fs::create_directories(dir_, ec);
  mounted_ = StartHostShell("mount -t tmpfs -o size=" + std::to_string(bytes) + " tmpfs '" +
                            host_dir_ + "' 2>/dev/null") &&
             WaitUntil([&] { return DiskIsSmall(dir_, bytes); });
}

SmallTmpfs::~SmallTmpfs() {
  if (mounted_ && StartHostShell("umount '" + host_dir_ + "'")) {
    WaitUntil([&] { return !DiskIsSmall(dir_, bytes_); });
  }
  std::error_code ignored;
  fs::remove_all(dir_, ignored);
}

bool SmallTmpfs::MakeReadOnly() {
  return StartHostShell("mount -o remount,ro '" + host_dir_ + "'") &&
         WaitUntil([&] { return !CanCreateIn(dir_); });
}
#endif

std::vector<std::string> ListFolder(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

IconImageSetPtr MakeSet(const std::vector<Bytes>& images) {
  IconImageSetPtr set = AllocateIconImageSet(static_cast<uint32_t>(images.size()), "", "");
  for (size_t i = 0; i < images.size(); ++i) {
    IconImageEntry& e = set->images[i];
    e.data = static_cast<uint8_t*>(HeapTryAllocate(images[i].size()));
    if (!images[i].empty()) std::memcpy(e.data, images[i].data(), images[i].size());
    e.dataSize = static_cast<uint32_t>(images[i].size());
    DeriveImageFields(&e);
  }
  return set;
}

WriteOutcome WriteIconFile(const IconImageSet* set, const char* path) {
  std::vector<uint8_t> bytes;
  if (!set || !BuildIconFile(*set, &bytes)) return WriteOutcome{};
  return ReplaceFileWhole(path, ByteSpan(bytes.data(), bytes.size()));
}

WriteOutcome WriteBitmapFile(const char* path, const IconImageEntry* entry) {
  std::vector<uint8_t> bytes;
  if (!entry || !BuildBitmapFile(*entry, &bytes)) return WriteOutcome{};
  return ReplaceFileWhole(path, ByteSpan(bytes.data(), bytes.size()));
}

}  // namespace vantorico::testing

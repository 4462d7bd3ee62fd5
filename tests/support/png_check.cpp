#include "tests/support/png_check.h"

#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace vantorico::testing {
namespace {

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

// Bytes of filtered image data IHDR describes (Adam7 pass by pass).
uint64_t ExpectedDataSize(uint32_t w, uint32_t h, uint32_t bitsPerPixel, bool interlaced) {
  const auto rows = [&](uint64_t pw, uint64_t ph) {
    return pw && ph ? ph * (1 + (pw * bitsPerPixel + 7) / 8) : 0;
  };
  if (!interlaced) return rows(w, h);
  static const int pass[7][4] = {{0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4},
                                 {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2}};
  uint64_t total = 0;
  for (const auto& p : pass) {
    const uint64_t pw = w > uint32_t(p[0]) ? (w - p[0] + p[1] - 1) / p[1] : 0;
    const uint64_t ph = h > uint32_t(p[2]) ? (h - p[2] + p[3] - 1) / p[3] : 0;
    total += rows(pw, ph);
  }
  return total;
}

bool ReadAll(const std::string& path, std::vector<uint8_t>* out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    out->insert(out->end(), buffer, buffer + n);
  std::fclose(f);
  return true;
}

}  // namespace

std::string PngProblem(const std::vector<uint8_t>& b) {
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (b.size() < 8 || std::memcmp(b.data(), signature, 8) != 0) return "no signature";
  size_t at = 8;
  std::vector<uint8_t> data;
  uint32_t w = 0, h = 0, bpp = 0;
  bool interlaced = false, seenIend = false;
  int chunk = 0;
  while (at < b.size()) {
    if (seenIend) return "bytes after IEND";
    if (b.size() - at < 12) return "chunk header cut at " + std::to_string(at);
    const uint32_t length = Be32(b, at);
    if (length > b.size() - at - 12) return "chunk past the end at " + std::to_string(at);
    const std::string type(b.begin() + at + 4, b.begin() + at + 8);
    const uint32_t crc = static_cast<uint32_t>(crc32(0, b.data() + at + 4, length + 4));
    if (crc != Be32(b, at + 8 + length)) return "bad CRC of " + type;
    const uint8_t* body = b.data() + at + 8;
    if (chunk++ == 0) {
      if (type != "IHDR" || length != 13) return "IHDR is not first";
      w = Be32(b, at + 8);
      h = Be32(b, at + 12);
      const uint32_t depth = body[8], color = body[9];
      const uint32_t channels = color == 0 || color == 3 ? 1 : color == 4 ? 2 : color == 2 ? 3 : 4;
      bpp = channels * depth;
      interlaced = body[12] == 1;
      if (w == 0 || h == 0 || body[10] != 0 || body[11] != 0 || body[12] > 1) return "bad IHDR";
    } else if (type == "IDAT") {
      data.insert(data.end(), body, body + length);
    } else if (type == "IEND") {
      seenIend = true;
    }
    at += 12 + length;
  }
  if (!seenIend) return "no IEND";
  if (data.empty()) return "no IDAT";
  const uint64_t expected = ExpectedDataSize(w, h, bpp, interlaced);
  std::vector<uint8_t> out(static_cast<size_t>(expected) + 1);
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return "zlib";
  z.next_in = data.data();
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int r = inflate(&z, Z_FINISH);
  const uint64_t got = out.size() - z.avail_out;
  const uInt left = z.avail_in;
  inflateEnd(&z);
  if (r != Z_STREAM_END) return "image data does not inflate whole (" + std::to_string(r) + ")";
  if (left != 0) return "bytes after the image data's zlib stream";
  if (got != expected) {
    return "image data inflates to " + std::to_string(got) + " bytes, not " +
           std::to_string(expected);
  }
  return std::string();
}

std::vector<std::string> InvalidPngFilesUnder(const std::string& dir) {
  namespace fs = std::filesystem;
  std::vector<std::string> problems;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::error_code ignored;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".png") != 0 ||
        !it->is_regular_file(ignored)) {
      continue;
    }
    std::vector<uint8_t> bytes;
    const std::string path = it->path().string();
    const std::string problem = ReadAll(path, &bytes) ? PngProblem(bytes) : "cannot be read";
    if (!problem.empty()) problems.push_back(path + ": " + problem);
  }
  return problems;
}

}  // namespace vantorico::testing

// vantorico-thumbnailer -s SIZE INPUT OUTPUT
// A freedesktop thumbnailer: the PNG of the first icon group of a program
// file (PE or NE) or of an .ico file. Exit status: 0 written, 1 no icon to
// show (nothing written), 2 usage or I/O error (nothing written).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "iconlib/file_io.h"
#include "thumbnailer/group_loader.h"
#include "iconlib/thumbnail_pipeline.h"

namespace {

constexpr int kExitWritten = 0;
constexpr int kExitNoIcon = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fprintf(stderr, "usage: vantorico-thumbnailer -s SIZE INPUT OUTPUT\n");
  return kExitUsage;
}

bool ParseSize(const char* text, uint32_t* size) {
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || text[0] == '-' || v == 0 ||
      v > vantorico::kMaxThumbnailSize) {
    return false;
  }
  *size = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || std::strcmp(argv[1], "-s") != 0) return Usage();
  uint32_t size = 0;
  if (!ParseSize(argv[2], &size)) return Usage();
  const char* input = argv[3];
  const std::string output = argv[4];

  std::vector<std::vector<uint8_t>> stored;
  if (!vantorico::LoadFirstGroupImages(input, &stored)) {
    std::fprintf(stderr, "vantorico-thumbnailer: %s: no icon\n", input);
    return kExitNoIcon;
  }
  std::vector<vantorico::ByteSpan> images;
  for (const std::vector<uint8_t>& image : stored) images.emplace_back(image.data(), image.size());
  const vantorico::Thumbnail thumbnail = vantorico::MakeThumbnail(images, size);
  if (!thumbnail.ok()) {
    std::fprintf(stderr, "vantorico-thumbnailer: %s: %s\n", input,
                 vantorico::ThumbnailErrorName(thumbnail.error));
    return thumbnail.error == vantorico::ThumbnailError::EncodeFailed ? kExitUsage : kExitNoIcon;
  }
  // Written whole to a new file beside the output, then renamed over it: a
  // failure leaves no partial thumbnail and never follows a planted link.
  const vantorico::WriteOutcome written = vantorico::ReplaceFileWhole(
      output.c_str(), vantorico::ByteSpan(thumbnail.png.data(), thumbnail.png.size()));
  if (!written) {
    std::fprintf(stderr, "vantorico-thumbnailer: cannot write %s: %s\n", output.c_str(),
                 vantorico::SystemErrorText(written.error).c_str());
    return kExitUsage;
  }
  return kExitWritten;
}

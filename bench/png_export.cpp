// png_export [--all] OUTDIR FILE.ico...
// Benchmark driver: writes each icon file's best image (or with --all every
// image) as a PNG into OUTDIR, named after the file (and the image's index),
// through the thumbnailer's pipeline: stored PNG images as they are, DIB
// images decoded and encoded with libpng. Prints the count of PNGs written.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "iconlib/images/dib_decoder.h"
#include "iconlib/formats/icon_file_reader.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/images/png_codec.h"
#include "iconlib/formats/png_header.h"
#include "iconlib/images/thumbnail_pipeline.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::string Stem(const char* path) {
  std::string s = path;
  const size_t slash = s.rfind('/');
  if (slash != std::string::npos) s = s.substr(slash + 1);
  const size_t dot = s.rfind('.');
  return dot == std::string::npos ? s : s.substr(0, dot);
}

}  // namespace

int main(int argc, char** argv) {
  int arg = 1;
  const bool all = argc > 1 && std::strcmp(argv[1], "--all") == 0;
  if (all) ++arg;
  if (argc - arg < 2) {
    std::fprintf(stderr, "usage: png_export [--all] OUTDIR FILE.ico...\n");
    return 2;
  }
  const std::string out = argv[arg++];
  size_t written = 0;
  int status = 0;
  for (; arg < argc; ++arg) {
    vantorico::IconImageSetPtr set = vantorico::ReadIconFile(argv[arg]);
    if (!set) {
      std::fprintf(stderr, "png_export: %s: unreadable\n", argv[arg]);
      status = 1;
      continue;
    }
    std::vector<vantorico::ByteSpan> images;
    for (uint32_t i = 0; i < set->imageCount; ++i) {
      images.push_back(vantorico::ImageBytes(set->images[i]));
    }
    const std::string stem = out + "/" + Stem(argv[arg]);
    if (!all) {
      const vantorico::Thumbnail t = vantorico::MakeThumbnail(images, 0);
      if (t.ok() && WriteFile(stem + ".png", t.png)) {
        ++written;
      } else {
        status = 1;
      }
    } else {
      for (size_t i = 0; i < images.size(); ++i) {
        const std::string name = stem + "_" + std::to_string(i) + ".png";
        if (vantorico::IsPngImage(images[i])) {
          written += WriteFile(
              name, std::vector<uint8_t>(images[i].data(), images[i].data() + images[i].size()));
          continue;
        }
        const vantorico::DibDecodeResult d = vantorico::DecodeDib(images[i]);
        if (!d.ok()) continue;
        const vantorico::PngEncodeResult p = vantorico::EncodePng(d.image);
        if (p.ok()) written += WriteFile(name, p.bytes);
      }
    }
  }
  std::printf("%zu\n", written);
  return status;
}

#include "fuzz/fuzz_library_entries.h"

#include <cstring>

#include "vantorico/vantorico.h"

namespace vantorico {
namespace {

bool KnownStatus(int status) {
  return status >= VANTORICO_OK && status <= VANTORICO_ERR_NOT_APPLICABLE;
}

// A file of a group: an icon group's or a cursor group's starts with its
// 6-byte header and holds as many entries as the group has images.
bool FileHolds(int type, const unsigned char* data, size_t size, size_t images) {
  if (type != VANTORICO_ICON && type != VANTORICO_CURSOR) return true;
  if (size < 6 || data[0] != 0 || data[1] != 0) return false;
  if (data[2] != (type == VANTORICO_ICON ? 1 : 2)) return false;
  const size_t count = data[4] | (size_t{data[5]} << 8);
  return count == (images & 0xFFFF) && size >= 6 + 16 * count;
}

bool AskImage(vantorico_source* s, int type, long index, size_t image) {
  vantorico_image_info info;
  int status = vantorico_image_describe(s, type, index, image, &info);
  if (!KnownStatus(status)) return false;
  unsigned char* data = nullptr;
  size_t size = 0;
  status = vantorico_image_bytes(s, type, index, image, &data, &size);
  if (status == VANTORICO_OK) {
    // A whole buffer: touching every byte must be safe.
    unsigned sum = 0;
    for (size_t i = 0; i < size; ++i) sum += data[i];
    (void)sum;
    vantorico_free(data);
  } else if (!KnownStatus(status)) {
    return false;
  }
  unsigned long width = 0, height = 0;
  status = vantorico_image_rgba(s, type, index, image, &data, &width, &height);
  if (status == VANTORICO_OK) {
    if (width == 0 || height == 0) return false;
    const unsigned char last = data[width * height * 4 - 1];
    (void)last;
    vantorico_free(data);
  } else if (!KnownStatus(status)) {
    return false;
  }
  unsigned char digest[VANTORICO_SHA256_SIZE];
  return KnownStatus(
      vantorico_image_digest(s, type, index, image, VANTORICO_SHA256, digest, sizeof digest));
}

bool AskGroup(vantorico_source* s, int type, long index) {
  vantorico_group_info info;
  int status = vantorico_group_describe(s, type, index, &info);
  if (status != VANTORICO_OK) return KnownStatus(status);
  if (info.language_count && info.language_taken >= info.language_count) return false;
  char name[8];
  size_t needed = 0;
  status = vantorico_group_name(s, type, index, name, sizeof name, &needed);
  // A stored name may hold NUL characters: the size counts them all.
  if (status == VANTORICO_OK &&
      (needed > sizeof name || name[needed - 1] != 0 || std::strlen(name) + 1 > needed)) {
    return false;
  }
  for (int layout = VANTORICO_LAYOUT_DEFAULT; layout <= VANTORICO_LAYOUT_STORED_DIRECTORY;
       ++layout) {
    unsigned char* data = nullptr;
    size_t size = 0;
    status = vantorico_group_file(s, type, index, layout, &data, &size);
    if (status == VANTORICO_OK) {
      const bool holds = !info.readable || FileHolds(type, data, size, info.image_count);
      vantorico_free(data);
      if (!holds) return false;
    } else if (!KnownStatus(status)) {
      return false;
    }
  }
  unsigned char* png = nullptr;
  size_t length = 0;
  status = vantorico_group_png(s, type, index, 32, &png, &length);
  if (status == VANTORICO_OK) {
    const bool signature = length > 8 && png[1] == 'P' && png[2] == 'N' && png[3] == 'G';
    vantorico_free(png);
    if (!signature) return false;
  } else if (!KnownStatus(status)) {
    return false;
  }
  for (size_t i = 0; i < info.image_count && i < 64; ++i) {
    if (!AskImage(s, type, index, i)) return false;
  }
  return true;
}

}  // namespace

bool FuzzLibrary(const uint8_t* data, size_t size) {
  vantorico_source* s = nullptr;
  const int status = vantorico_open_memory(data, size, &s);
  if (status != VANTORICO_OK) return KnownStatus(status) && s == nullptr;
  bool ok = true;
  for (int type = VANTORICO_ICON; ok && type <= VANTORICO_ANIICON; ++type) {
    long count = 0;
    if (vantorico_group_count(s, type, &count) != VANTORICO_OK || count < 0) ok = false;
    // Past the last group, and a bounded number of groups: fuzz inputs
    // with thousands of groups would only repeat the same work.
    for (long i = 1; ok && i <= count + 1 && i <= 64; ++i) ok = AskGroup(s, type, i);
  }
  vantorico_close(s);
  return ok;
}

}  // namespace vantorico

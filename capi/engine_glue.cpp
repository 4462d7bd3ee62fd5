// libvantorico over the engine: the one file that calls it. Each function
// checks its arguments, maps the engine's typed results to a status, and
// copies outputs into buffers the caller frees with vantorico_free. Nothing
// here is global: everything lives in the handle.
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "iconlib/formats/group_summary.h"
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/images/dib_decoder.h"
#include "iconlib/formats/exact_icon_file.h"
#include "iconlib/formats/icon_file_writer.h"
#include "iconlib/images/icon_hashes.h"
#include "iconlib/formats/icon_source.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/language_choice.h"
#include "iconlib/images/png_codec.h"
#include "iconlib/images/thumbnail_pipeline.h"
#include "vantorico/vantorico.h"
#include "vantorico_version.h"

using namespace vantorico;

namespace {

// A group as read once: its summary (the listing's), and its images' bytes.
struct ReadGroupState {
  bool described = false;
  GroupSummary summary;
  bool read = false;
  int readStatus = VANTORICO_OK;
  IconImageSetPtr set;  // icons
  CursorGroup cursors;  // cursors; their spans lie in the source's bytes
  ByteSpan raw;         // animated resources
};

}  // namespace

struct vantorico_source {
  std::vector<uint8_t> bytes;  // memory input: the copy the source reads
  std::unique_ptr<IconSource> source;
  std::map<std::pair<int, long>, ReadGroupState> groups;
};

namespace {

int StatusOfOpen(const OpenedSource& opened) {
  switch (opened.status) {
    case OpenStatus::Opened:
      return VANTORICO_ERR_UNSUPPORTED;
    case OpenStatus::Missing:
      return VANTORICO_ERR_MISSING;
    case OpenStatus::NotRegularFile:
      return VANTORICO_ERR_NOT_REGULAR_FILE;
    case OpenStatus::ReadFailed:
      return VANTORICO_ERR_READ_FAILED;
    case OpenStatus::NoMemory:
      return VANTORICO_ERR_NO_MEMORY;
  }
  return VANTORICO_ERR_UNSUPPORTED;
}

int StatusOfFailure(GroupFailure why) {
  switch (why) {
    case GroupFailure::None:
      return VANTORICO_OK;
    case GroupFailure::NotFound:
      return VANTORICO_ERR_NO_SUCH_GROUP;
    case GroupFailure::OverBudget:
      return VANTORICO_ERR_OVER_BUDGET;
    case GroupFailure::OverPixelBudget:
      return VANTORICO_ERR_OVER_BUDGET;
    case GroupFailure::NoMemory:
      return VANTORICO_ERR_NO_MEMORY;
    case GroupFailure::ReadFailed:
      return VANTORICO_ERR_READ_FAILED;
    case GroupFailure::CutShort:
    case GroupFailure::MissingImage:
      break;
  }
  return VANTORICO_ERR_UNREADABLE;
}

int StatusOfRead(ExtractStatus status) {
  switch (status) {
    case ExtractStatus::Written:
      return VANTORICO_OK;
    case ExtractStatus::NoSuchGroup:
      return VANTORICO_ERR_NO_SUCH_GROUP;
    case ExtractStatus::OverBudget:
      return VANTORICO_ERR_OVER_BUDGET;
    default:
      break;
  }
  return VANTORICO_ERR_UNREADABLE;
}

bool ValidType(int type) {
  return type >= VANTORICO_ICON && type <= VANTORICO_ANIICON;
}

// The group's state, or a status saying why there is none.
int FindGroup(vantorico_source* s, int type, long index, ReadGroupState** out) {
  if (!s || !ValidType(type)) return VANTORICO_ERR_ARGUMENT;
  const auto groupType = static_cast<GroupType>(type);
  if (index < 1 || index > CountGroups(*s->source, groupType)) return VANTORICO_ERR_NO_SUCH_GROUP;
  *out = &s->groups[{type, index}];
  return VANTORICO_OK;
}

int Described(vantorico_source* s, int type, long index, ReadGroupState** out) {
  const int status = FindGroup(s, type, index, out);
  if (status != VANTORICO_OK) return status;
  ReadGroupState& g = **out;
  if (!g.described) {
    g.summary = SummariseGroup(*s->source, static_cast<GroupType>(type),
                               static_cast<int32_t>(index), false);
    g.described = true;
  }
  return VANTORICO_OK;
}

// Reads the group's bytes once; the status of that read every time after.
int Read(vantorico_source* s, int type, long index, ReadGroupState** out) {
  int status = FindGroup(s, type, index, out);
  if (status != VANTORICO_OK) return status;
  ReadGroupState& g = **out;
  if (g.read) return g.readStatus;
  IconSource& source = *s->source;
  switch (static_cast<GroupType>(type)) {
    case GroupType::Icon: {
      GroupRead read = source.ReadGroup(static_cast<int32_t>(index));
      status = StatusOfRead(read.status);
      if (status == VANTORICO_OK && !read.set) status = VANTORICO_ERR_UNREADABLE;
      g.set = std::move(read.set);
      break;
    }
    case GroupType::Cursor: {
      status = StatusOfFailure(source.ReadCursors(static_cast<int32_t>(index), &g.cursors));
      break;
    }
    case GroupType::AniCursor:
    case GroupType::AniIcon:
      if (source.AnimatedBytes(ResourceTypeOf(static_cast<GroupType>(type)),
                               static_cast<int32_t>(index), &g.raw) != GroupFailure::None) {
        status = VANTORICO_ERR_UNREADABLE;
      } else if (!source.SpendBudget(g.raw.size())) {
        status = VANTORICO_ERR_OVER_BUDGET;
      }
      break;
  }
  g.read = true;
  g.readStatus = status;
  return status;
}

// The stored bytes of one image of a read icon or cursor group.
int ImageOf(vantorico_source* s, int type, long index, size_t image, ByteSpan* bytes) {
  ReadGroupState* g = nullptr;
  const int status = Read(s, type, index, &g);
  if (status != VANTORICO_OK) return status;
  if (type == VANTORICO_ICON) {
    if (image >= g->set->imageCount) return VANTORICO_ERR_NO_SUCH_IMAGE;
    *bytes = ImageBytes(g->set->images[image]);
    return VANTORICO_OK;
  }
  if (type == VANTORICO_CURSOR) {
    if (image >= g->cursors.images.size()) return VANTORICO_ERR_NO_SUCH_IMAGE;
    *bytes = g->cursors.images[image].image;
    return VANTORICO_OK;
  }
  return VANTORICO_ERR_NOT_APPLICABLE;
}

// Copies bytes into a new buffer of the library's (never null on success).
int Hand(const uint8_t* bytes, size_t size, unsigned char** data, size_t* length) {
  auto* buffer = static_cast<unsigned char*>(std::malloc(size ? size : 1));
  if (!buffer) return VANTORICO_ERR_NO_MEMORY;
  if (size) std::memcpy(buffer, bytes, size);
  *data = buffer;
  *length = size;
  return VANTORICO_OK;
}

int Hand(const std::vector<uint8_t>& bytes, unsigned char** data, size_t* length) {
  return Hand(bytes.data(), bytes.size(), data, length);
}

// Runs body, turning an allocation failure inside the engine into a status:
// no exception crosses into C.
template <typename Body>
int Guarded(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return VANTORICO_ERR_NO_MEMORY;
  } catch (...) {
    return VANTORICO_ERR_UNREADABLE;
  }
}

// Opens file (read by the caller, or a view over the handle's own copy) into handle.
int OpenInto(std::unique_ptr<vantorico_source> handle, const char* path, OpenedBytes bytes,
             vantorico_source** out) {
  OpenedSource opened = IconSource::OpenBytes(path, std::move(bytes));
  if (!opened.ok()) return StatusOfOpen(opened);
  handle->source = std::move(opened.source);
  if (handle->source->kind() == SourceKind::Module) {
    handle->source->module()->SetLanguageOrder(UserLanguageOrder(0));
  }
  *out = handle.release();
  return VANTORICO_OK;
}

}  // namespace

extern "C" {

const char* vantorico_version(void) {
  return VANTORICO_VERSION;
}

const char* vantorico_strerror(int status) {
  switch (status) {
    case VANTORICO_OK:
      return "success";
    case VANTORICO_ERR_ARGUMENT:
      return "invalid argument (a null handle or pointer, or a value out of range)";
    case VANTORICO_ERR_MISSING:
      return "no such file, or it cannot be opened";
    case VANTORICO_ERR_NOT_REGULAR_FILE:
      return "not a regular file";
    case VANTORICO_ERR_READ_FAILED:
      return "the file could not be read, or it changed while it was read";
    case VANTORICO_ERR_NO_MEMORY:
      return "out of memory";
    case VANTORICO_ERR_UNSUPPORTED:
      return "neither a program file nor an icon file";
    case VANTORICO_ERR_NO_SUCH_GROUP:
      return "no such group";
    case VANTORICO_ERR_NO_SUCH_IMAGE:
      return "no such image in the group";
    case VANTORICO_ERR_UNREADABLE:
      return "the group cannot be read (cut short, or an image is missing)";
    case VANTORICO_ERR_OVER_BUDGET:
      return "the source's output budget is spent";
    case VANTORICO_ERR_UNDECODABLE:
      return "no image of the group decodes";
    case VANTORICO_ERR_ENCODE_FAILED:
      return "the PNG encoder failed";
    case VANTORICO_ERR_SHORT_BUFFER:
      return "the buffer is too small";
    case VANTORICO_ERR_NOT_APPLICABLE:
      return "the operation does not apply to this group";
    default:
      break;
  }
  return "unknown status";
}

void vantorico_free(void* buffer) {
  std::free(buffer);
}

int vantorico_open_path(const char* path, vantorico_source** out) {
  if (!path || !out) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    return OpenInto(std::make_unique<vantorico_source>(), path, OpenByteSource(path), out);
  });
}

int vantorico_open_memory(const void* data, size_t size, vantorico_source** out) {
  if ((!data && size) || !out) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    auto handle = std::make_unique<vantorico_source>();
    const auto* bytes = static_cast<const uint8_t*>(data);
    handle->bytes.assign(bytes, bytes + size);
    OpenedBytes opened;
    opened.status = OpenStatus::Opened;
    opened.source = ByteSourceOfBytes(ByteSpan(handle->bytes.data(), handle->bytes.size()));
    return OpenInto(std::move(handle), "", std::move(opened), out);
  });
}

void vantorico_close(vantorico_source* source) {
  delete source;
}

int vantorico_source_kind_of(const vantorico_source* source, int* kind) {
  if (!source || !kind) return VANTORICO_ERR_ARGUMENT;
  switch (source->source->kind()) {
    case SourceKind::Module:
      *kind = VANTORICO_MODULE;
      break;
    case SourceKind::CursorFile:
      *kind = VANTORICO_CURSOR_FILE;
      break;
    case SourceKind::AnimatedFile:
      *kind = VANTORICO_ANIMATED_FILE;
      break;
    default:
      *kind = VANTORICO_ICON_FILE;
      break;
  }
  return VANTORICO_OK;
}

int vantorico_set_language(vantorico_source* source, unsigned int language) {
  if (!source || language > 0xFFFF) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    if (source->source->kind() == SourceKind::Module) {
      source->source->module()->SetLanguageOrder(
          UserLanguageOrder(static_cast<uint16_t>(language)));
      source->groups.clear();
    }
    return VANTORICO_OK;
  });
}

int vantorico_group_count(vantorico_source* source, int type, long* count) {
  if (!source || !ValidType(type) || !count) return VANTORICO_ERR_ARGUMENT;
  *count = CountGroups(*source->source, static_cast<GroupType>(type));
  return VANTORICO_OK;
}

int vantorico_group_describe(vantorico_source* source, int type, long index,
                             vantorico_group_info* info) {
  if (!info) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    ReadGroupState* g = nullptr;
    const int status = Described(source, type, index, &g);
    if (status != VANTORICO_OK) return status;
    const GroupSummary& m = g->summary;
    vantorico_group_info i;
    std::memset(&i, 0, sizeof(i));
    i.type = type;
    i.index = index;
    i.has_name = m.named ? 1 : 0;
    i.name_is_text = m.textName ? 1 : 0;
    i.id = m.id;
    i.name_cut = m.textCut ? 1 : 0;
    i.language_count = m.languages.size();
    i.language_taken = m.chosenLanguage;
    i.readable = m.readable ? 1 : 0;
    i.image_count = m.images.size();
    i.byte_count = static_cast<size_t>(m.bytes);
    *info = i;
    return VANTORICO_OK;
  });
}

int vantorico_group_name(vantorico_source* source, int type, long index, char* buffer, size_t size,
                         size_t* needed) {
  if (!buffer && size) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    ReadGroupState* g = nullptr;
    const int status = Described(source, type, index, &g);
    if (status != VANTORICO_OK) return status;
    if (!g->summary.textName) return VANTORICO_ERR_NOT_APPLICABLE;
    const std::string& text = g->summary.text;
    if (needed) *needed = text.size() + 1;
    if (size < text.size() + 1) return VANTORICO_ERR_SHORT_BUFFER;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return VANTORICO_OK;
  });
}

int vantorico_group_language(vantorico_source* source, int type, long index, size_t i,
                             unsigned int* language) {
  if (!language) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    ReadGroupState* g = nullptr;
    const int status = Described(source, type, index, &g);
    if (status != VANTORICO_OK) return status;
    if (i >= g->summary.languages.size()) return VANTORICO_ERR_ARGUMENT;
    *language = g->summary.languages[i];
    return VANTORICO_OK;
  });
}

int vantorico_image_describe(vantorico_source* source, int type, long index, size_t image,
                             vantorico_image_info* info) {
  if (!info) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    ReadGroupState* g = nullptr;
    const int status = Described(source, type, index, &g);
    if (status != VANTORICO_OK) return status;
    if (type == VANTORICO_ANICURSOR || type == VANTORICO_ANIICON) {
      return VANTORICO_ERR_NOT_APPLICABLE;
    }
    if (!g->summary.readable) return VANTORICO_ERR_UNREADABLE;
    if (image >= g->summary.images.size()) return VANTORICO_ERR_NO_SUCH_IMAGE;
    const ImageSummary& m = g->summary.images[image];
    vantorico_image_info i;
    std::memset(&i, 0, sizeof(i));
    i.width = m.width;
    i.height = m.height;
    i.bit_depth = m.bitDepth;
    i.format = std::strcmp(m.format, "PNG") == 0   ? VANTORICO_FORMAT_PNG
               : std::strcmp(m.format, "DIB") == 0 ? VANTORICO_FORMAT_DIB
                                                   : VANTORICO_FORMAT_OTHER;
    i.byte_count = m.bytes;
    i.has_hotspot = m.hasHotspot ? 1 : 0;
    i.hotspot_x = m.hotspotX;
    i.hotspot_y = m.hotspotY;
    *info = i;
    return VANTORICO_OK;
  });
}

int vantorico_group_file(vantorico_source* source, int type, long index, int layout,
                         unsigned char** data, size_t* size) {
  if (!data || !size || layout < VANTORICO_LAYOUT_DEFAULT ||
      layout > VANTORICO_LAYOUT_STORED_DIRECTORY) {
    return VANTORICO_ERR_ARGUMENT;
  }
  return Guarded([&]() -> int {
    ReadGroupState* g = nullptr;
    int status = Read(source, type, index, &g);
    if (status != VANTORICO_OK) return status;
    std::vector<uint8_t> bytes;
    bool built = false;
    switch (type) {
      case VANTORICO_ICON:
        if (layout == VANTORICO_LAYOUT_DEFAULT) {
          built = BuildIconFile(*g->set, &bytes);
        } else if (layout == VANTORICO_LAYOUT_EXACT) {
          built = BuildExactIconFile(*g->set, &bytes);
        } else {
          ByteSpan directory;
          if (source->source->kind() != SourceKind::Module) {
            return VANTORICO_ERR_NOT_APPLICABLE;
          }
          if (!source->source->module()->BytesAt(kResourceTypeGroupIcon,
                                                 static_cast<uint32_t>(index - 1), &directory)) {
            return VANTORICO_ERR_UNREADABLE;
          }
          built = BuildStoredDirectoryIconFile(*g->set, directory, &bytes);
        }
        break;
      case VANTORICO_CURSOR:
        built = BuildCursorFile(g->cursors, &bytes);
        break;
      default:
        return Hand(g->raw.data(), g->raw.size(), data, size);
    }
    if (!built) return VANTORICO_ERR_UNREADABLE;
    return Hand(bytes, data, size);
  });
}

int vantorico_group_resource(vantorico_source* source, int type, long index, unsigned char** data,
                             size_t* size) {
  if (!data || !size) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    ReadGroupState* g = nullptr;
    const int status = FindGroup(source, type, index, &g);
    if (status != VANTORICO_OK) return status;
    if (source->source->kind() != SourceKind::Module) {
      return VANTORICO_ERR_NOT_APPLICABLE;
    }
    ByteSpan bytes;
    if (!source->source->module()->BytesAt(ResourceTypeOf(static_cast<GroupType>(type)),
                                           static_cast<uint32_t>(index - 1), &bytes)) {
      return VANTORICO_ERR_UNREADABLE;
    }
    return Hand(bytes.data(), bytes.size(), data, size);
  });
}

int vantorico_group_png(vantorico_source* source, int type, long index, unsigned long size,
                        unsigned char** data, size_t* length) {
  if (!data || !length || size > kMaxThumbnailSize) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    if (type == VANTORICO_ANICURSOR || type == VANTORICO_ANIICON) {
      ReadGroupState* g = nullptr;
      const int status = FindGroup(source, type, index, &g);
      return status != VANTORICO_OK ? status : VANTORICO_ERR_NOT_APPLICABLE;
    }
    ReadGroupState* g = nullptr;
    const int status = Read(source, type, index, &g);
    if (status != VANTORICO_OK) return status;
    std::vector<ByteSpan> images;
    if (type == VANTORICO_ICON) {
      for (uint32_t i = 0; i < g->set->imageCount; ++i)
        images.push_back(ImageBytes(g->set->images[i]));
    } else {
      for (const CursorImage& c : g->cursors.images) images.push_back(c.image);
    }
    Thumbnail picture = MakeThumbnail(images, static_cast<uint32_t>(size), BlankImages::Keep);
    if (picture.error == ThumbnailError::EncodeFailed) {
      return VANTORICO_ERR_ENCODE_FAILED;
    }
    if (!picture.ok()) return VANTORICO_ERR_UNDECODABLE;
    return Hand(picture.png, data, length);
  });
}

int vantorico_image_bytes(vantorico_source* source, int type, long index, size_t image,
                          unsigned char** data, size_t* size) {
  if (!data || !size) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    ByteSpan bytes;
    const int status = ImageOf(source, type, index, image, &bytes);
    if (status != VANTORICO_OK) return status;
    return Hand(bytes.data(), bytes.size(), data, size);
  });
}

int vantorico_image_rgba(vantorico_source* source, int type, long index, size_t image,
                         unsigned char** pixels, unsigned long* width, unsigned long* height) {
  if (!pixels || !width || !height) return VANTORICO_ERR_ARGUMENT;
  return Guarded([&]() -> int {
    ByteSpan bytes;
    const int status = ImageOf(source, type, index, image, &bytes);
    if (status != VANTORICO_OK) return status;
    RgbaImage decoded;
    if (bytes.size() >= sizeof(kPngSignature) &&
        std::memcmp(bytes.data(), kPngSignature, sizeof(kPngSignature)) == 0) {
      PngDecodeResult r = DecodePng(bytes);
      if (!r.ok()) return VANTORICO_ERR_UNDECODABLE;
      decoded = std::move(r.image);
    } else {
      DibDecodeResult r = DecodeDib(bytes);
      if (!r.ok()) return VANTORICO_ERR_UNDECODABLE;
      decoded = std::move(r.image);
    }
    size_t ignoredLength = 0;
    const int handed = Hand(decoded.pixels, pixels, &ignoredLength);
    if (handed != VANTORICO_OK) return handed;
    *width = decoded.width;
    *height = decoded.height;
    return VANTORICO_OK;
  });
}

int vantorico_image_digest(vantorico_source* source, int type, long index, size_t image,
                           int algorithm, unsigned char* out, size_t size) {
  if (!out || (algorithm != VANTORICO_MD5 && algorithm != VANTORICO_SHA256)) {
    return VANTORICO_ERR_ARGUMENT;
  }
  return Guarded([&]() -> int {
    const size_t needed = algorithm == VANTORICO_MD5 ? VANTORICO_MD5_SIZE : VANTORICO_SHA256_SIZE;
    if (size < needed) return VANTORICO_ERR_SHORT_BUFFER;
    ByteSpan bytes;
    const int status = ImageOf(source, type, index, image, &bytes);
    if (status != VANTORICO_OK) return status;
    if (algorithm == VANTORICO_MD5) {
      const Md5Digest d = Md5Of(bytes);
      std::memcpy(out, d.data(), d.size());
    } else {
      const Sha256Digest d = Sha256Of(bytes);
      std::memcpy(out, d.data(), d.size());
    }
    return VANTORICO_OK;
  });
}

}  // extern "C"

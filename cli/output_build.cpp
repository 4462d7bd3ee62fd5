#include "cli/output_build.h"

#include "iconlib/formats/animated_file.h"
#include "iconlib/images/bitmap_export.h"
#include "iconlib/formats/image_fields.h"
#ifdef VANTORICO_HAVE_PNG
#include "iconlib/images/png_codec.h"
#include "iconlib/images/thumbnail_pipeline.h"
#endif
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/formats/exact_icon_file.h"
#include "iconlib/formats/icon_file_writer.h"

namespace vantorico {
namespace {

const char* ReadProblem(GroupFailure why) {
  switch (why) {
    case GroupFailure::OverBudget:
      return "passes what this file may make the extractor write (its groups repeat the same "
             "images); skipped";
    case GroupFailure::OverPixelBudget:
      return "claims more pixels than this file may make the extractor decode; skipped";
    case GroupFailure::ReadFailed:
      return "cannot be read (the file changed or failed while it was read); skipped";
    default:
      return "cannot be read; skipped";
  }
}

const char* StatusProblem(ExtractStatus status) {
  switch (status) {
    case ExtractStatus::OverBudget:
      return ReadProblem(GroupFailure::OverBudget);
    default:
      return "cannot be read; skipped";
  }
}

// One PNG of a group's images (each with its depth): a stored PNG image
// goes out as it is; a DIB is decoded, scaled when --size asks for another
// size, and encoded. name goes before each piece's size suffix.
OutputStatus BuildPng(const Options& o, const std::vector<ByteSpan>& images,
                      const std::vector<uint32_t>& depths, const std::string& name,
                      std::vector<Piece>* pieces, std::string* message) {
#ifdef VANTORICO_HAVE_PNG
  if (o.allSizes) {
    // Every image as it is, named by its size and depth.
    const size_t before = pieces->size();
    for (size_t i = 0; i < images.size(); ++i) {
      Thumbnail picture = MakeThumbnail({images[i]}, 0, BlankImages::Keep);
      if (!picture.ok()) continue;
      pieces->push_back({name + "-" + std::to_string(picture.width) + "x" +
                             std::to_string(picture.height) + "-" + std::to_string(depths[i]) +
                             "bpp",
                         std::move(picture.png)});
    }
    if (pieces->size() > before) return OutputStatus::Ready;
    *message = "has no image that makes a picture; skipped";
    return OutputStatus::Unreadable;
  }
  Thumbnail picture = MakeThumbnail(images, o.pngSize, BlankImages::Keep);
  if (!picture.ok()) {
    *message = std::string("has no image that makes a picture (") +
               ThumbnailErrorName(picture.error) + "); skipped";
    return OutputStatus::Unreadable;
  }
  pieces->push_back({name, std::move(picture.png)});
  return OutputStatus::Ready;
#else
  (void)o;
  (void)images;
  (void)depths;
  (void)name;
  (void)pieces;
  *message = "PNG export is not part of this build";
  return OutputStatus::Unreadable;
#endif
}

OutputStatus BuildPng(const Options& o, const IconImageSet& set, std::vector<Piece>* pieces,
                      std::string* message) {
  std::vector<ByteSpan> images;
  std::vector<uint32_t> depths;
  for (uint32_t i = 0; i < set.imageCount; ++i) {
    images.push_back(ImageBytes(set.images[i]));
    depths.push_back(set.images[i].bitDepth);
  }
  return BuildPng(o, images, depths, "", pieces, message);
}

// Cursor images as PNG; the pixels their headers claim are drawn from the
// source's pixel budget first, as an icon group's are when it is read.
OutputStatus BuildPng(const Options& o, IconSource& source, const CursorGroup& cursors,
                      const std::string& name, std::vector<Piece>* pieces, std::string* message) {
  uint64_t pixels = 0;
  for (const CursorImage& c : cursors.images) {
    pixels += uint64_t(c.width > 0 ? c.width : 0) * uint64_t(c.height > 0 ? c.height : 0);
  }
  if (!source.SpendPixels(pixels)) {
    *message = ReadProblem(GroupFailure::OverPixelBudget);
    return OutputStatus::Refused;
  }
  std::vector<ByteSpan> images;
  std::vector<uint32_t> depths;
  for (const CursorImage& c : cursors.images) {
    images.push_back(c.image);
    depths.push_back(c.bitCount);
  }
  return BuildPng(o, images, depths, name, pieces, message);
}

// Each frame of an animated file as PNG, named "-fK" (K from 1); a frame
// that makes no picture fails the group.
OutputStatus BuildFramePngs(const Options& o, IconSource& source, ByteSpan file,
                            std::vector<Piece>* pieces, std::string* message) {
  AnimatedFile ani;
  if (ReadAnimatedFile(file, &ani) != AnimatedFailure::None) {
    *message = ReadProblem(GroupFailure::CutShort);
    return OutputStatus::Unreadable;
  }
  if (ani.frames.empty()) return OutputStatus::Empty;
  for (size_t k = 0; k < ani.frames.size(); ++k) {
    const std::string name = "-f" + std::to_string(k + 1);
    CursorGroup frame;
    std::string why;
    if (!ReadIconOrCursorFile(ani.frames[k], &frame) ||
        BuildPng(o, source, frame, name, pieces, &why) != OutputStatus::Ready) {
      pieces->clear();
      *message =
          "frame " + std::to_string(k + 1) + " " + (why.empty() ? "cannot be read; skipped" : why);
      return OutputStatus::Unreadable;
    }
  }
  return OutputStatus::Ready;
}

// A group as a bitmap file: its first DIB that decodes, else its largest
// PNG that decodes, always as something bitmap readers take.
OutputStatus BuildBitmap(const IconImageSet& set, std::vector<uint8_t>* bytes,
                         std::string* message) {
  const PngPixelsDecoder decoder = PngDecoderOfThisBuild();
  BitmapExport made = MakeBitmapExport(set, decoder);
  switch (made.error) {
    case BitmapExportError::None:
      *bytes = std::move(made.bytes);
      return OutputStatus::Ready;
    case BitmapExportError::PngOnly:
      *message = "has only PNG images, which this build cannot decode; skipped";
      return OutputStatus::Refused;
    case BitmapExportError::TooLarge:
      *message = "makes a bitmap past 4 GB; skipped";
      return OutputStatus::Refused;
    case BitmapExportError::NoImage:
      break;
  }
  *message = "has no image that decodes; skipped";
  return OutputStatus::Unreadable;
}

}  // namespace

PngPixelsDecoder PngDecoderOfThisBuild() {
#ifdef VANTORICO_HAVE_PNG
  return [](ByteSpan png, RgbaImage* out) {
    PngDecodeResult r = DecodePng(png);
    if (r.ok()) *out = std::move(r.image);
    return r.ok();
  };
#else
  return nullptr;
#endif
}

OutputStatus BuildOutput(const Options& o, IconSource& source, GroupType type, int32_t index,
                         OutputRoom& room, std::vector<Piece>* pieces, std::string* message) {
  pieces->push_back({});
  std::vector<uint8_t>* bytes = &pieces->back().bytes;
  switch (type) {
    case GroupType::Icon: {
      GroupRead read = source.ReadGroup(index);
      if (!read.set) {
        *message =
            read.why != GroupFailure::None ? ReadProblem(read.why) : StatusProblem(read.status);
        return OutputStatus::Unreadable;
      }
      if (read.set->imageCount == 0) return OutputStatus::Empty;
      if (o.png) {
        pieces->clear();
        return BuildPng(o, *read.set, pieces, message);
      }
      if (o.bitmap) return BuildBitmap(*read.set, bytes, message);
      bool built = false;
      if (o.exactImages) {
        built = BuildExactIconFile(*read.set, bytes);
      } else {
        Piece& piece = pieces->back();
        size_t size = 0;
        uint8_t* at = IconFileSize(*read.set, &size) ? room.Room(size) : nullptr;
        if (at) {
          WriteIconFile(*read.set, at);
          piece.inPlace = ByteSpan(at, size);
          piece.madeInPlace = built = true;
        }
      }
      if (!built) {
        *message = StatusProblem(ExtractStatus::UnreadableGroup);
        return OutputStatus::Unreadable;
      }
      return OutputStatus::Ready;
    }
    case GroupType::Cursor: {
      CursorGroup cursors;
      const GroupFailure why = source.ReadCursors(index, &cursors);
      if (why != GroupFailure::None) {
        *message = ReadProblem(why);
        return OutputStatus::Unreadable;
      }
      if (cursors.images.empty()) return OutputStatus::Empty;
      if (o.png) {
        pieces->clear();
        return BuildPng(o, source, cursors, "", pieces, message);
      }
      if (!BuildCursorFile(cursors, bytes)) {
        *message = ReadProblem(GroupFailure::NoMemory);
        return OutputStatus::Unreadable;
      }
      return OutputStatus::Ready;
    }
    case GroupType::AniCursor:
    case GroupType::AniIcon: {
      ByteSpan raw;
      if (source.AnimatedBytes(ResourceTypeOf(type), index, &raw) != GroupFailure::None ||
          !source.SpendBudget(raw.size())) {
        *message = ReadProblem(GroupFailure::CutShort);
        return OutputStatus::Unreadable;
      }
      if (raw.empty()) return OutputStatus::Empty;
      if (o.png) {
        pieces->clear();
        return BuildFramePngs(o, source, raw, pieces, message);
      }
      bytes->assign(raw.data(), raw.data() + raw.size());
      return OutputStatus::Ready;
    }
  }
  return OutputStatus::Unreadable;
}

}  // namespace vantorico

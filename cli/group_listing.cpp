#include "cli/group_listing.h"

#include "cli/json_writer.h"
#include "cli/text_escape.h"
#include "iconlib/formats/animated_file.h"
#include "iconlib/formats/cursor_resources.h"
#include "iconlib/images/icon_hashes.h"
#include "iconlib/formats/image_fields.h"
#include "iconlib/formats/language_choice.h"
#include "iconlib/formats/png_header.h"

namespace vantorico {
namespace {
std::string ValuesText(const std::vector<uint32_t>& values) {
  std::string out;
  for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + std::to_string(values[i]);
  return out;
}

std::string ImagesText(const std::vector<ImageSummary>& images) {
  std::string out =
      "\t" + std::to_string(images.size()) + (images.size() == 1 ? " image" : " images");
  for (const ImageSummary& i : images) {
    out += "\t" + std::to_string(i.width) + "x" + std::to_string(i.height) + " " +
           std::to_string(i.bitDepth) + "-bit " + i.format + " " + std::to_string(i.bytes) +
           " bytes";
    if (i.hasHotspot) {
      out += " hotspot " + std::to_string(i.hotspotX) + "," + std::to_string(i.hotspotY);
    }
    if (!i.md5.empty()) out += " md5 " + i.md5 + " sha256 " + i.sha256;
  }
  return out;
}

std::string AnimationText(const AnimationSummary& a) {
  std::string out = "\t" + std::to_string(a.frames.size()) + " frame" +
                    (a.frames.size() == 1 ? "" : "s") + " " + std::to_string(a.steps) + " step" +
                    (a.steps == 1 ? "" : "s") + " rate " + std::to_string(a.displayRate) +
                    " jiffies";
  if (a.hasRates) out += "\trates " + ValuesText(a.rates);
  if (a.hasSequence) out += "\tsequence " + ValuesText(a.sequence);
  for (size_t k = 0; k < a.frames.size(); ++k) {
    out += "\tframe " + std::to_string(k + 1);
    out += a.frames[k].readable ? ImagesText(a.frames[k].images) : "\tunreadable";
  }
  return out;
}

std::string ValuesJson(bool present, const std::vector<uint32_t>& values) {
  if (!present) return "null";
  JsonArray out;
  for (uint32_t v : values) out.Json(std::to_string(v));
  return out.Text();
}

}  // namespace

std::string KindWord(SourceKind kind) {
  switch (kind) {
    case SourceKind::Module:
      return "module";
    case SourceKind::CursorFile:
      return "cursor file";
    case SourceKind::AnimatedFile:
      return "animated file";
    case SourceKind::IconFile:
    case SourceKind::Unsupported:
      break;
  }
  return "icon file";
}

std::string FormatGroupText(const GroupSummary& g, bool withType) {
  std::string out;
  if (withType) out += std::string(WordOf(g.type)) + "\t";
  out += std::to_string(g.index) + "\t";
  if (g.textName) {
    out += QuotedText(g.text) + (g.textCut ? "..." : "");
  } else {
    out += g.named ? std::to_string(g.id) : "-";
  }
  if (g.languages.empty()) {
    out += "\tlang -";
  } else {
    out += "\tlang " + LanguageIdText(g.languages[g.chosenLanguage]);
    if (g.languages.size() > 1) {
      out += " of";
      for (uint16_t l : g.languages) out += " " + LanguageIdText(l);
    }
  }
  const std::string orphan = g.orphan ? "\torphan" : "";
  if (!g.readable) return out + "\tunreadable" + orphan + "\n";
  if (g.type == GroupType::AniCursor || g.type == GroupType::AniIcon) {
    out += "\tanimated\t" + std::to_string(g.bytes) + " bytes";
    return out + (g.animated ? AnimationText(g.animation) : "") + "\n";
  }
  return out + ImagesText(g.images) + orphan + "\n";
}

void AddGroupName(JsonObject* out, const GroupSummary& g, SourceKind kind) {
  if (g.textName) {
    out->String("name", g.text);
    if (g.textCut) out->Bool("name_cut", true);
  } else if (kind == SourceKind::Module) {
    out->Number("name", g.id);
  } else {
    out->Null("name");  // an icon file's group has no name
  }
  if (g.orphan) out->Bool("orphan", true);
}

std::string ImagesJson(const GroupSummary& g) {
  return ImagesJson(g.images);
}

std::string ImagesJson(const std::vector<ImageSummary>& list) {
  JsonArray images;
  for (const ImageSummary& m : list) {
    JsonObject image;
    image.Number("width", m.width)
        .Number("height", m.height)
        .Number("bitDepth", m.bitDepth)
        .String("format", m.format)
        .Number("bytes", m.bytes);
    if (m.hasHotspot) {
      image.Json("hotspot", JsonObject().Number("x", m.hotspotX).Number("y", m.hotspotY).Text());
    }
    if (!m.md5.empty()) image.String("md5", m.md5).String("sha256", m.sha256);
    images.Json(image.Text());
  }
  return images.Text();
}

std::string FormatGroupJson(const GroupSummary& g, SourceKind kind) {
  JsonObject out;
  out.String("type", WordOf(g.type)).Number("index", g.index);
  AddGroupName(&out, g, kind);
  if (g.languages.empty()) {
    out.Null("language");
  } else {
    out.String("language", LanguageIdText(g.languages[g.chosenLanguage]));
  }
  JsonArray languages;
  for (uint16_t l : g.languages) languages.String(LanguageIdText(l));
  out.Json("languages", languages.Text()).Bool("readable", g.readable);
  if (g.type == GroupType::AniCursor || g.type == GroupType::AniIcon) out.Number("bytes", g.bytes);
  if (g.animated) {
    const AnimationSummary& a = g.animation;
    JsonArray frames;
    for (size_t k = 0; k < a.frames.size(); ++k) {
      frames.Json(JsonObject()
                      .Number("frame", k + 1)
                      .Bool("readable", a.frames[k].readable)
                      .Json("images", ImagesJson(a.frames[k].images))
                      .Text());
    }
    out.Number("steps", a.steps)
        .Number("display_rate", a.displayRate)
        .Json("rates", ValuesJson(a.hasRates, a.rates))
        .Json("sequence", ValuesJson(a.hasSequence, a.sequence))
        .Json("frames", frames.Text());
  }
  return out.Json("images", ImagesJson(g)).Text();
}

}  // namespace vantorico

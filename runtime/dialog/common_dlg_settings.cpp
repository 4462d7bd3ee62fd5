#include "runtime/dialog/common_dlg_settings.h"

#include <algorithm>
#include <string>

#include "runtime/core/memory.h"
#include "runtime/core/texts.h"

namespace vantorico {
namespace {

// Shared by reads (const) and writes.
template <typename Settings>
auto IntSetting(Settings& s, int index) -> decltype(&s.dialogType) {
  switch (index) {
    case DialogType:
      return &s.dialogType;
    case InitialFilter:
      return &s.initialFilter;
    case CreatePrompt:
      return &s.createPrompt;
    case FileMustExist:
      return &s.fileMustExist;
    case OverwritePrompt:
      return &s.overwritePrompt;
    case PathMustExist:
      return &s.pathMustExist;
    case KeepCurrentDirectory:
      return &s.keepCurrentDirectory;
    default:
      return nullptr;
  }
}

template <typename Settings>
auto TextSetting(Settings& s, int index) -> decltype(&s.title) {
  switch (index) {
    case Title:
      return &s.title;
    case FileName:
      return &s.fileName;
    case Filter:
      return &s.filter;
    case InitialDirectory:
      return &s.initialDirectory;
    case DefaultExtension:
      return &s.defaultExtension;
    default:
      return nullptr;
  }
}

bool IsSwitch(int index) {
  return index >= CreatePrompt && index <= KeepCurrentDirectory;
}

bool ReadCountedText(ByteCursor& cursor, std::string* text) {
  uint32_t length = 0;
  ByteSpan bytes;
  if (!cursor.ReadU32(&length) || !cursor.ReadSpan(length, &bytes)) return false;
  text->assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return true;
}

}  // namespace

CommonDlgSettings::~CommonDlgSettings() {
  for (char* text : {title, fileName, filter, initialDirectory, defaultExtension}) FreeMemory(text);
  for (char* text : furtherTexts) FreeMemory(text);
}

void AssignSettingText(char** setting, const char* text) {
  char* copy = NewText(text);
  FreeMemory(*setting);
  *setting = copy;
}

bool ReadCommonDlgBlock(ByteSpan block, CommonDlgSettings* settings) {
  ByteCursor cursor(block);
  uint32_t version = 0;
  if (!cursor.ReadU32(&version) || version > kCommonDlgBlockVersion) return false;
  std::array<int32_t, kStoredNamedWords> named{};
  std::array<int32_t, kFurtherSettingCount> further{};
  for (auto& word : named)
    if (!cursor.ReadS32(&word)) return false;
  for (auto& word : further)
    if (!cursor.ReadS32(&word)) return false;
  std::array<std::string, kStoredTextCount> texts;
  for (auto& text : texts)
    if (!ReadCountedText(cursor, &text)) return false;

  // Stored order: DialogType, InitialFilter, then the five switches.
  settings->dialogType = named[0];
  settings->initialFilter = named[1];
  settings->createPrompt = named[2];
  settings->fileMustExist = named[3];
  settings->overwritePrompt = named[4];
  settings->pathMustExist = named[5];
  settings->keepCurrentDirectory = named[6];
  settings->furtherSettings = further;
  char** targets[kStoredTextCount] = {&settings->title,
                                      &settings->fileName,
                                      &settings->filter,
                                      &settings->initialDirectory,
                                      &settings->defaultExtension,
                                      &settings->furtherTexts[0],
                                      &settings->furtherTexts[1]};
  for (int i = 0; i < kStoredTextCount; ++i) AssignSettingText(targets[i], texts[i].c_str());
  return true;
}

bool ReadCommonDlgProperty(const CommonDlgSettings& settings, int index, ArgSlot* value) {
  if (char* const* text = TextSetting(settings, index)) {
    *value = TextSlot(NewText(*text));
    return true;
  }
  if (const int32_t* word = IntSetting(settings, index)) {
    *value = IsSwitch(index) ? ArgSlot{static_cast<uint32_t>(*word), 0, kTypeBool} : IntSlot(*word);
    return true;
  }
  return false;
}

bool WriteCommonDlgProperty(CommonDlgSettings& settings, int index, const ArgSlot& value) {
  if (char** text = TextSetting(settings, index)) {
    AssignSettingText(text, SlotText(value));
    return true;
  }
  int32_t* word = IntSetting(settings, index);
  if (!word) return false;
  int32_t v = SlotInt(value);
  if (index == DialogType) v = std::clamp(v, kLowestDialogType, kHighestDialogType);
  if (index == InitialFilter) v = std::max(v, 0);
  *word = v;
  return true;
}

}  // namespace vantorico

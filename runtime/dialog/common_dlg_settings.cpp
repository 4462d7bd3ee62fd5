#include "runtime/dialog/common_dlg_settings.h"

#include <algorithm>
#include <string>

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

}  // namespace

bool ReadCommonDlgProperty(const CommonDlgSettings& settings, int index, ArgSlot* value) {
  if (const std::string* text = TextSetting(settings, index)) {
    *value = TextSlot(NewText(text->c_str()));
    return true;
  }
  if (const int32_t* word = IntSetting(settings, index)) {
    *value = IsSwitch(index) ? ArgSlot{static_cast<uint32_t>(*word), 0, kTypeBool} : IntSlot(*word);
    return true;
  }
  return false;
}

bool WriteCommonDlgProperty(CommonDlgSettings& settings, int index, const ArgSlot& value) {
  if (std::string* text = TextSetting(settings, index)) {
    const char* written = SlotText(value);
    *text = written ? written : "";
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

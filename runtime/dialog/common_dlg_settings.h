#pragma once
// The settings a CommonDlg unit owns, with their reads and writes by property
// index. Texts are the unit's own copies (null for empty), made with NewText.
#include <array>
#include <cstdint>

#include "base/arg_slot.h"
#include "base/byte_cursor.h"
#include "runtime/dialog/common_dlg_constants.h"

namespace vantorico {

struct CommonDlgSettings {
  CommonDlgSettings() = default;
  ~CommonDlgSettings();
  CommonDlgSettings(const CommonDlgSettings&) = delete;
  CommonDlgSettings& operator=(const CommonDlgSettings&) = delete;

  int32_t dialogType = kDialogOpenFile;
  int32_t initialFilter = 0;
  // A fresh unit asks for existing files and folders and for overwrite consent.
  int32_t createPrompt = 0;
  int32_t fileMustExist = kSwitchOn;
  int32_t overwritePrompt = kSwitchOn;
  int32_t pathMustExist = kSwitchOn;
  int32_t keepCurrentDirectory = 0;
  // Settings of the font and help modes, carried unchanged.
  std::array<int32_t, kFurtherSettingCount> furtherSettings{};

  char* title = nullptr;
  char* fileName = nullptr;
  char* filter = nullptr;
  char* initialDirectory = nullptr;
  char* defaultExtension = nullptr;
  std::array<char*, kFurtherTextCount> furtherTexts{};
};

// Replaces a text setting with a copy of text (null or empty clears it).
void AssignSettingText(char** setting, const char* text);

// Reads the stored block (version word first). False for a newer version or a
// block cut short; the settings are then left as they were.
bool ReadCommonDlgBlock(ByteSpan block, CommonDlgSettings* settings);

// Property reads and writes by index DialogType .. KeepCurrentDirectory; false
// for any other index. A text read is a new text owned by the caller.
bool ReadCommonDlgProperty(const CommonDlgSettings& settings, int index, ArgSlot* value);
bool WriteCommonDlgProperty(CommonDlgSettings& settings, int index, const ArgSlot& value);

}  // namespace vantorico

#pragma once
// Fixed numbers of the CommonDlg unit: its property indexes, the dialog
// record's flag bits and sizes, and the layout of its stored settings.
#include <cstddef>
#include <cstdint>

namespace vantorico {

// Unit properties, numbered as ReadUnitProperty / WriteUnitProperty see them.
enum CommonDlgProperty : int {
  DialogType = 8,
  Title = 9,
  FileName = 10,
  Filter = 11,
  InitialFilter = 12,
  InitialDirectory = 13,
  DefaultExtension = 14,
  CreatePrompt = 15,
  FileMustExist = 16,
  OverwritePrompt = 17,
  PathMustExist = 18,
  KeepCurrentDirectory = 19,
};
constexpr int kFirstCommonDlgProperty = DialogType;
constexpr int kLastCommonDlgProperty = KeepCurrentDirectory;

enum CommonDlgKind : int32_t {
  kDialogOpenFile = 0,
  kDialogSaveFile = 1,
  kDialogFont = 2,
  kDialogHelp = 3,
};
constexpr int32_t kLowestDialogType = kDialogOpenFile;
constexpr int32_t kHighestDialogType = kDialogHelp;

// The switches are tested against this value exactly, not for non-zero.
constexpr int32_t kSwitchOn = 1;

// OPENFILENAMEA flag bits (the platform's values).
constexpr uint32_t kOfnOverwritePrompt = 0x2;
constexpr uint32_t kOfnHideReadOnly = 0x4;
constexpr uint32_t kOfnNoChangeDir = 0x8;
constexpr uint32_t kOfnPathMustExist = 0x800;
constexpr uint32_t kOfnFileMustExist = 0x1000;
constexpr uint32_t kOfnCreatePrompt = 0x2000;
constexpr uint32_t kOfnExplorer = 0x80000;
constexpr uint32_t kOfnEnableSizing = 0x800000;

// The dialog record in its 76-byte form, and its buffers.
constexpr uint32_t kOpenFileNameSize = 76;
constexpr size_t kFileBufferSize = 260;
constexpr size_t kFileTitleBufferSize = 64;

// Filter text.
constexpr char kFilterSeparator = '|';
constexpr char kFilterEnd[] = "||";

// Stored settings block: version word, then kStoredSwitchWords words (the seven
// named settings and eight further ones), then kStoredTextCount counted texts.
constexpr uint32_t kCommonDlgBlockVersion = 1;
constexpr int kStoredNamedWords = 7;
constexpr int kFurtherSettingCount = 8;
constexpr int kStoredTextCount = 7;
constexpr int kFurtherTextCount = 2;

}  // namespace vantorico

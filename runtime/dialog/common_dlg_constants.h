#pragma once
// Fixed numbers of the CommonDlg unit: its property indexes and the dialog
// record's flag bits and sizes. The dialog types, the switch value and the
// stored block's layout are the layout's (framework/layout_constants.h).
#include <cstddef>
#include <cstdint>

#include "framework/layout_constants.h"

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

}  // namespace vantorico

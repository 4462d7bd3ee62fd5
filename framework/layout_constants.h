#pragma once
// Fixed values of the stored layout and of the units built from it.
#include <cstdint>

namespace vantorico {

// Unit kinds: high 16 bits the providing library (1-based), low 16 bits the kind.
enum UnitKind : uint32_t {
  kKindWindow = 0x00010001,
  kKindMenu = 0x00010003,
  kKindEditBox = 0x00010005,
  kKindPicBox = 0x00010006,
  kKindLabel = 0x0001000A,
  kKindButton = 0x0001000B,
  kKindCommonDlg = 0x0001001F,
  kKindDropTarget = 0x00020001,
};

// Type-specific block versions this reader understands.
constexpr uint32_t kStoredWindowVersion = 6;
constexpr uint32_t kStoredButtonVersion = 1;
constexpr uint32_t kStoredEditBoxVersion = 2;
constexpr uint32_t kStoredLabelVersion = 2;
constexpr uint32_t kStoredPicBoxVersion = 2;
constexpr uint32_t kStoredCommonDlgVersion = 1;
constexpr uint32_t kStoredDropTargetVersion = 1;

// The top four bits of a unit id tell its class.
constexpr uint32_t kUnitClassShift = 28;
enum UnitClass : uint32_t { kUnitClassWindow = 0, kUnitClassControl = 1, kUnitClassMenu = 2 };
inline UnitClass UnitClassOf(uint32_t unit_id) {
  return static_cast<UnitClass>(unit_id >> kUnitClassShift);
}

// UnitFlags
constexpr uint32_t kUnitVisible = 1u << 0;
constexpr uint32_t kUnitDisabled = 1u << 1;
constexpr uint32_t kUnitTabStop = 1u << 2;
enum MenuFlags : uint32_t {
  kMenuHidden = 1u << 0,
  kMenuDisabled = 1u << 1,  // the entry is appended grayed
  kMenuChecked = 1u << 2,
};

// A colour word holding this value means the system's default colour.
constexpr uint32_t kDefaultColor = 0xFF000000;
constexpr uint32_t kLogFontSize = 60;
constexpr uint32_t kLayoutReservedBytes = 20;
constexpr uint32_t kMenuTrailingBytes = 16;
constexpr int32_t kNoHandler = -1;

// Menu entries get consecutive command identifiers in stored order; WM_COMMAND
// identifiers from kFirstSystemCommandId on are the system's, not entries'.
constexpr uint32_t MenuCommandBase = 20000;
constexpr uint32_t kFirstSystemCommandId = 0xE100;

// Window settings
constexpr uint32_t kBorderFixedSingle = 2;
constexpr uint32_t kStartCentered = 1;
// PicBox display modes
enum PictureMode : uint32_t { kPictureAtOrigin = 0, kPictureStretch = 1, kFitPicture = 2 };
// EditBox input modes
enum EditInputMode : uint32_t { kEditNormal = 0, kEditReadOnly = 1, kEditPassword = 2 };
// CommonDlg dialog types
enum CommonDlgKind : int32_t {
  kDialogOpenFile = 0,
  kDialogSaveFile = 1,
  kDialogFont = 2,
  kDialogHelp = 3,
};
constexpr int32_t kLowestDialogType = kDialogOpenFile;
constexpr int32_t kHighestDialogType = kDialogHelp;
// The CommonDlg switches are tested against this value exactly, not for non-zero.
constexpr int32_t kSwitchOn = 1;
// The CommonDlg block: version, seven named settings, eight further ones, then
// the five named texts and two further ones, each a counted text.
constexpr int kCommonDlgNamedSettings = 7;
constexpr int kCommonDlgFurtherSettings = 8;
constexpr int kCommonDlgFurtherTexts = 2;

// Window events
enum WindowEvent : int {
  kEventWindowCreated = 0,
  kEventWindowClosing = 1,
  kEventWindowDestroyed = 2,
  kEventWindowAfterCreated1 = 3,
  kEventWindowAfterCreated2 = 4,
  kEventTrayEvent = 9,
};
// Control events
constexpr int kEventButtonClicked = 0;
constexpr int kEventContentChanged = 0;
constexpr int kEventMenuEntryChosen = 0;

// Guards against hostile blocks; the tool's layout has one window of 15 units.
constexpr uint32_t kMaxLayoutWindows = 64;
constexpr uint32_t kMaxUnitsPerWindow = 4096;
constexpr uint32_t kMaxEventsPerUnit = 256;
constexpr uint32_t kMaxChildUnits = 4096;

}  // namespace vantorico

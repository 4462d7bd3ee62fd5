#pragma once
// The stored layout in memory, as the reader gives it.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/layout_constants.h"

namespace vantorico {

struct EventBinding {
  uint32_t eventIndex = 0;
  int32_t handlerRef = -1;
};

// A LOGFONTA kept as its 60 stored bytes (empty when the unit uses the default font).
using StoredFont = std::vector<uint8_t>;

struct WindowSettings {
  uint32_t border = 0;
  uint32_t backgroundPictureMode = 0;
  uint32_t backgroundColor = 0;
  uint32_t maximizeBox = 0;
  uint32_t minimizeBox = 0;
  uint32_t controlBox = 0;
  uint32_t startPosition = 0;
  uint32_t closeBox = 0;
  std::array<uint32_t, 10> further{};
  std::string extraText1;
  std::vector<uint8_t> backgroundPicture;
  std::vector<uint8_t> icon;
  std::vector<uint8_t> backgroundSound;
  std::string title;
  std::string extraText2;
};

struct ButtonSettings {
  uint32_t buttonKind = 0;
  uint32_t horizontalAlignment = 0;
  uint32_t verticalAlignment = 0;
  std::vector<uint8_t> picture;
  StoredFont font;
  std::string caption;
};

struct EditBoxSettings {
  uint32_t border = 0;
  uint32_t textColor = 0;
  uint32_t backgroundColor = 0;
  uint32_t hideSelection = 0;
  uint32_t maxLength = 0;
  uint32_t multiLine = 0;
  uint32_t scrollBars = 0;
  uint32_t alignment = 0;
  uint32_t inputMode = 0;
  uint16_t passwordChar = 0;
  uint32_t caseConversion = 0;
  uint32_t spin = 0;
  int32_t spinMin = 0;
  int32_t spinMax = 0;
  uint32_t selectionStart = 0;
  uint32_t selectionLength = 0;
  StoredFont font;
  std::string content;
  std::string extraText1;
  std::string extraText2;
};

// The first six of the label's sixteen drawing words have a meaning here.
struct LabelSettings {
  std::array<uint32_t, 16> words{};
  uint32_t border() const { return words[0]; }
  uint32_t textColor() const { return words[1]; }
  uint32_t backgroundColor() const { return words[2]; }
  uint32_t horizontalAlignment() const { return words[3]; }
  uint32_t wordWrap() const { return words[4]; }
  uint32_t verticalAlignment() const { return words[5]; }
  StoredFont font;
  std::vector<uint8_t> secondBlock;
  std::string caption;
  std::string extraText1;
  std::string extraText2;
};

struct PicBoxSettings {
  uint32_t border = 0;
  uint32_t backgroundColor = 0;
  uint32_t displayMode = 0;
  uint32_t animate = 0;
  std::vector<uint8_t> picture;
  std::string extraText1;
  std::string extraText2;
};

// A CommonDlg unit's settings, as stored and as the live unit keeps them.
// Before its stored block is read, a unit asks for existing files and folders
// and for overwrite consent. Texts are empty when unset.
struct CommonDlgSettings {
  int32_t dialogType = kDialogOpenFile;
  int32_t initialFilter = 0;
  int32_t createPrompt = 0;
  int32_t fileMustExist = kSwitchOn;
  int32_t overwritePrompt = kSwitchOn;
  int32_t pathMustExist = kSwitchOn;
  int32_t keepCurrentDirectory = 0;
  // Settings of the font and help modes, carried unchanged.
  std::array<int32_t, kCommonDlgFurtherSettings> furtherSettings{};

  std::string title;
  std::string fileName;
  std::string filter;
  std::string initialDirectory;
  std::string defaultExtension;
  std::array<std::string, kCommonDlgFurtherTexts> furtherTexts;
};

// What a DropTarget unit takes: its four accept switches.
struct DropTargetSettings {
  int32_t acceptText = 0;
  int32_t acceptHtml = 0;
  int32_t acceptUrl = 0;
  int32_t acceptFiles = 0;
};

struct MenuEntryRecord {
  uint32_t hotkey = 0;
  uint32_t level = 0;
  uint32_t menuFlags = 0;
  std::string caption;
  int32_t handlerRef = -1;
};

struct UnitRecord {
  uint32_t unitId = 0;
  uint32_t typeCode = 0;
  std::string name;
  std::string remark;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parentUnit = 0;
  std::vector<uint32_t> children;
  std::vector<uint8_t> mousePointer;
  std::string tag;
  uint32_t unitFlags = 0;
  std::vector<EventBinding> events;

  // Exactly one of these is used, by typeCode.
  WindowSettings window;
  ButtonSettings button;
  EditBoxSettings editBox;
  LabelSettings label;
  PicBoxSettings picBox;
  CommonDlgSettings commonDlg;
  DropTargetSettings dropTarget;
  MenuEntryRecord menu;

  // The handler bound to an event, or -1.
  int32_t HandlerFor(uint32_t event_index) const {
    for (const EventBinding& b : events) {
      if (b.eventIndex == event_index) return b.handlerRef;
    }
    return -1;
  }
};

struct WindowLayout {
  uint32_t windowId = 0;
  uint32_t storedWords[2] = {0, 0};
  std::string extraText1;
  std::string extraText2;
  std::vector<UnitRecord> units;  // the window itself first

  const UnitRecord* FindUnit(uint32_t unit_id) const {
    for (const UnitRecord& u : units) {
      if (u.unitId == unit_id) return &u;
    }
    return nullptr;
  }
  UnitRecord* FindUnit(uint32_t unit_id) {
    return const_cast<UnitRecord*>(static_cast<const WindowLayout*>(this)->FindUnit(unit_id));
  }
};

struct LayoutRecord {
  std::vector<WindowLayout> windows;
};

}  // namespace vantorico

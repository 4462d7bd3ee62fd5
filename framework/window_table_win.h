#pragma once
// The program's windows: each window's stored layout, and while it is loaded
// its live window with one live object per unit.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/arg_slot.h"
#include "base/win_handles.h"
#include "framework/layout_types.h"

namespace vantorico {

struct LiveWindow;
struct LiveUnit;

// A unit kind provided by a library above the framework (the file dialog, the
// drop target) keeps its run-time state in one of these.
class UnitObject {
 public:
  virtual ~UnitObject() = default;
  // Unit-type properties, index counted from 0 (the property index minus 8).
  // A read gives a new text for text properties. False: no such property.
  virtual bool ReadProperty(int type_index, ArgSlot* value) = 0;
  virtual bool WriteProperty(int type_index, const ArgSlot& value) = 0;
  // The window is being destroyed; the handle is still valid.
  virtual void OnWindowDestroy() {}
};
using UnitObjectFactory = std::unique_ptr<UnitObject> (*)(LiveWindow& window, LiveUnit& unit);
void RegisterUnitKind(uint32_t type_code, UnitObjectFactory factory);

// Per-window state that a library above keeps (the tray icon).
class WindowExtension {
 public:
  virtual ~WindowExtension() = default;
  // The last step of the window's destroy handling; the handle is still valid.
  virtual void OnWindowDestroy() {}
};

struct LiveUnit {
  UnitRecord* record = nullptr;  // the unit's stored values in the window's layout
  HWND hwnd = nullptr;           // controls with a face; the window unit has the window's
  bool settingText = false;      // edit box: a Content write is in progress
  UniqueFont font;
  UniqueIcon picture;
  int pictureWidth = 0;
  int pictureHeight = 0;
  std::unique_ptr<UnitObject> object;
};

struct LiveWindow {
  uint32_t windowId = 0;
  HWND hwnd = nullptr;
  std::vector<LiveUnit> units;  // in stored order; units[0] is the window itself
  bool firstShowPending = true;
  bool closePending = false;
  bool modal = false;
  HFONT font = nullptr;  // not owned: the stock default font
  std::vector<HWND> disabledForModal;
  std::map<std::string, std::unique_ptr<WindowExtension>> extensions;

  LiveUnit* FindUnit(uint32_t unit_id);
  LiveUnit* FindUnitByHandle(HWND hwnd);
  // The menu entry a WM_COMMAND identifier stands for (MenuEntryForCommand), or null.
  LiveUnit* FindMenuEntryByCommand(UINT command);
};

struct WindowEntry {
  WindowLayout layout;      // the stored values as they are now
  WindowLayout loadedFrom;  // the copy kept at load, put back at destruction
  std::unique_ptr<LiveWindow> live;
};

// The window table of the program.
WindowEntry* FindWindowEntry(uint32_t window_id);
// Installs the program's layout (start-up).
void SetProgramLayout(LayoutRecord layout);
bool AnyWindowLoaded();
// Every loaded window (for the message loop's pre-translation).
std::vector<LiveWindow*> LoadedWindows();

}  // namespace vantorico

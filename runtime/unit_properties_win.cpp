#include <windows.h>

#include <cstring>

#include "framework/layout_constants.h"
#include "framework/window_lifecycle_win.h"
#include "framework/window_table_win.h"
#include "runtime/core/memory.h"
#include "runtime/core/runtime_error.h"
#include "runtime/core/texts.h"
#include "runtime/window_commands.h"
#include "runtime/window_texts.h"

namespace vantorico {
namespace {

struct UnitAccess {
  WindowEntry* entry;
  UnitRecord* record;
  LiveUnit* live;  // null when the unit is not live
};

UnitAccess Find(uint32_t window_id, uint32_t unit_id) {
  WindowEntry* entry = FindWindowEntry(window_id);
  if (!entry) ReportRuntimeError(kTextWindowOfUnitNotLoaded, 0);
  UnitRecord* record = entry->layout.FindUnit(unit_id);
  if (!record) ReportRuntimeError(kTextUnitNotLoaded, 0);
  LiveUnit* live = entry->live ? entry->live->FindUnit(unit_id) : nullptr;
  if (live && live->hwnd && !IsWindow(live->hwnd)) live = nullptr;
  if (live && !live->hwnd && !live->object && record->typeCode != kKindMenu) live = nullptr;
  return {entry, record, live};
}

// Byte set: int32 1, int32 length, bytes.
ArgSlot NewByteSet(const std::vector<uint8_t>& bytes) {
  const int32_t dims = 1;
  const auto length = static_cast<int32_t>(bytes.size());
  auto* record = static_cast<uint8_t*>(AllocateMemory(8 + bytes.size()));
  std::memcpy(record, &dims, 4);
  std::memcpy(record + 4, &length, 4);
  if (!bytes.empty()) std::memcpy(record + 8, bytes.data(), bytes.size());
  return PointerSlot(record, kTypeByteSet);
}

std::vector<uint8_t> ByteSetBytes(const ArgSlot& value) {
  const auto* record = SlotPointer<const uint8_t>(value);
  if (value.type != kTypeByteSet || !record) return {};
  int32_t length;
  std::memcpy(&length, record + 4, 4);
  if (length <= 0) return {};
  return {record + 8, record + 8 + length};
}

std::string SlotString(const ArgSlot& value) {
  const char* text = value.type == kTypeText ? SlotText(value) : nullptr;
  return text ? text : "";
}

// Geometry of a live unit: the window's outer rectangle on the screen, a
// control's relative to its parent's client area.
RECT LiveRect(const LiveUnit& unit) {
  RECT rc;
  GetWindowRect(unit.hwnd, &rc);
  if (HWND parent = GetParent(unit.hwnd);
      parent && (GetWindowLongA(unit.hwnd, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  }
  return rc;
}

void ApplyVisible(UnitAccess& u, bool visible) {
  if (visible) {
    u.record->unitFlags |= kUnitVisible;
  } else {
    u.record->unitFlags &= ~kUnitVisible;
  }
  if (!u.live || !u.live->hwnd) return;
  if (!visible) {
    ShowWindow(u.live->hwnd, SW_HIDE);
  } else if (u.record->typeCode == kKindWindow) {
    ShowLiveWindow(*u.entry->live);
  } else {
    ShowWindow(u.live->hwnd, SW_SHOW);
  }
}

void ApplyDisabled(UnitAccess& u, bool disabled) {
  if (disabled) {
    u.record->unitFlags |= kUnitDisabled;
  } else {
    u.record->unitFlags &= ~kUnitDisabled;
  }
  if (u.live && u.live->hwnd) EnableWindow(u.live->hwnd, !disabled);
}

int32_t* GeometryField(UnitRecord& r, int index) {
  switch (index) {
    case kPropertyLeft:
      return &r.left;
    case kPropertyTop:
      return &r.top;
    case kPropertyWidth:
      return &r.width;
    default:
      return &r.height;
  }
}

ArgSlot ReadTypeProperty(UnitAccess& u, int index) {
  if (!u.live) ReportRuntimeError(kTextWindowNotLoaded, 0);
  if (u.record->typeCode == kKindEditBox && index == kPropertyContent) {
    const int length = GetWindowTextLengthA(u.live->hwnd);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(u.live->hwnd, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    u.record->editBox.content = text;
    return TextSlot(NewText(text.c_str()));
  }
  ArgSlot value{0, 0, 0};
  if (u.live->object) u.live->object->ReadProperty(index - kFirstTypeProperty, &value);
  return value;
}

void WriteContent(UnitAccess& u, const ArgSlot& value) {
  LiveUnit& unit = *u.live;
  u.record->editBox.content = SlotString(value);
  // The system's own change notification for this text is not an event; the
  // one the runtime gives afterwards is, so each write raises ContentChanged
  // exactly once. It is raised here rather than caught from the control, so
  // that other code subclassing the control cannot take it away.
  unit.settingText = true;
  SetWindowTextA(unit.hwnd, u.record->editBox.content.c_str());
  unit.settingText = false;
  SendMessageA(unit.hwnd, WM_COMMAND, MAKEWPARAM(0, EN_CHANGE),
               reinterpret_cast<LPARAM>(unit.hwnd));
  NotifyUnit(unit, EN_CHANGE);
}

}  // namespace

ArgSlot ReadUnitProperty(uint32_t window_id, uint32_t unit_id, int index) {
  UnitAccess u = Find(window_id, unit_id);
  UnitRecord& r = *u.record;
  const bool has_face = u.live && u.live->hwnd;
  switch (index) {
    case kPropertyLeft:
    case kPropertyTop:
    case kPropertyWidth:
    case kPropertyHeight: {
      if (!has_face) return IntSlot(*GeometryField(r, index));
      const RECT rc = LiveRect(*u.live);
      const int32_t values[] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
      return IntSlot(values[index]);
    }
    case kPropertyTag:
      return TextSlot(NewText(r.tag.c_str()));
    case kPropertyVisible:
      return BoolSlot(has_face ? IsWindowVisible(u.live->hwnd) != FALSE
                               : (r.unitFlags & kUnitVisible) != 0);
    case kPropertyDisabled:
      return BoolSlot(has_face ? !IsWindowEnabled(u.live->hwnd)
                               : (r.unitFlags & kUnitDisabled) != 0);
    case kPropertyMousePointer:
      return NewByteSet(r.mousePointer);
    default:
      return index >= kFirstTypeProperty ? ReadTypeProperty(u, index) : ArgSlot{0, 0, 0};
  }
}

void WriteUnitProperty(uint32_t window_id, uint32_t unit_id, int index, ArgSlot value) {
  UnitAccess u = Find(window_id, unit_id);
  UnitRecord& r = *u.record;
  switch (index) {
    case kPropertyLeft:
    case kPropertyTop:
    case kPropertyWidth:
    case kPropertyHeight:
      *GeometryField(r, index) = static_cast<int32_t>(value.value);
      if (u.live && u.live->hwnd) {
        RECT rc = LiveRect(*u.live);
        int32_t g[] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
        g[index] = static_cast<int32_t>(value.value);
        MoveWindow(u.live->hwnd, g[0], g[1], g[2], g[3], TRUE);
      }
      return;
    case kPropertyTag:
      r.tag = SlotString(value);
      return;
    case kPropertyVisible:
      ApplyVisible(u, value.value != 0);
      return;
    case kPropertyDisabled:
      ApplyDisabled(u, value.value != 0);
      return;
    case kPropertyMousePointer:
      r.mousePointer = ByteSetBytes(value);
      return;
    default:
      break;
  }
  if (index < kFirstTypeProperty) return;
  if (!u.live) ReportRuntimeError(kTextWindowNotLoaded, 0);
  if (r.typeCode == kKindEditBox && index == kPropertyContent) {
    WriteContent(u, value);
  } else if (u.live->object) {
    u.live->object->WriteProperty(index - kFirstTypeProperty, value);
  }
}

}  // namespace vantorico

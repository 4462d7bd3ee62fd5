#include <windows.h>

#include <optional>

#include "framework/events_win.h"
#include "framework/layout_constants.h"
#include "framework/window_table_win.h"
#include "shell/commands/drop_target_commands.h"
#include "shell/drop/drop_target_unit_win.h"

namespace vantorico {
namespace {

class DropTargetObject final : public UnitObject {
 public:
  DropTargetObject(LiveWindow& window, LiveUnit& unit)
      : windowId_(window.windowId),
        unitId_(unit.record->unitId),
        target_(std::in_place, window.hwnd, unit.record->dropTarget,
                [this](int event_index, const char* text) { return Fire(event_index, text); }) {}

  // The registration goes while the window still exists.
  void OnWindowDestroy() override { target_.reset(); }

  bool ReadProperty(int type_index, ArgSlot* value) override {
    int32_t v;
    if (!target_ || !target_->ReadProperty(type_index, &v)) return false;
    *value = BoolSlot(v != 0);
    return true;
  }
  bool WriteProperty(int type_index, const ArgSlot& value) override {
    return target_ && target_->WriteProperty(type_index, static_cast<int32_t>(value.value));
  }
  bool Register(HWND hwnd) { return target_ && target_->RegisterFileDrop(hwnd); }

 private:
  // Raises the unit's event; false once the unit's window is gone.
  bool Fire(int event_index, const char* text) {
    WindowEntry* entry = FindWindowEntry(windowId_);
    LiveUnit* unit = entry && entry->live ? entry->live->FindUnit(unitId_) : nullptr;
    if (!unit) return false;
    ArgSlot arg = TextSlot(text);
    RaiseUnitEvent(*unit, static_cast<uint32_t>(event_index), &arg, 1);
    return entry->live != nullptr;
  }

  uint32_t windowId_;
  uint32_t unitId_;
  std::optional<DropTargetUnit> target_;
};

std::unique_ptr<UnitObject> MakeDropTarget(LiveWindow& window, LiveUnit& unit) {
  return std::make_unique<DropTargetObject>(window, unit);
}

}  // namespace

void RegisterDropTargetUnits() {
  RegisterUnitKind(kKindDropTarget, MakeDropTarget);
}

void RegisterFileDrop(ArgSlot* result, int count, ArgSlot* args) {
  *result = BoolSlot(false);
  if (count < 2) return;
  WindowEntry* entry = FindWindowEntry(args[0].value);
  LiveUnit* unit = entry && entry->live ? entry->live->FindUnit(args[0].high) : nullptr;
  auto* target = unit ? dynamic_cast<DropTargetObject*>(unit->object.get()) : nullptr;
  if (!target) return;
  const auto hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(SlotInt(args[1])));
  *result = BoolSlot(target->Register(hwnd));
}

}  // namespace vantorico

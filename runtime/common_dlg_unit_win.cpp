#include <windows.h>

#include "framework/layout_constants.h"
#include "framework/window_table_win.h"
#include "runtime/common_dlg_unit.h"
#include "runtime/core/runtime_error.h"
#include "runtime/dialog/open_common_dialog_win.h"
#include "runtime/window_commands.h"
#include "runtime/window_texts.h"

namespace vantorico {
namespace {

class CommonDlgObject final : public UnitObject {
 public:
  CommonDlgObject(LiveWindow& window, const CommonDlgSettings& stored)
      : window_(window), settings_(stored) {}

  bool ReadProperty(int type_index, ArgSlot* value) override {
    return ReadCommonDlgProperty(settings_, type_index + kFirstTypeProperty, value);
  }
  bool WriteProperty(int type_index, const ArgSlot& value) override {
    return WriteCommonDlgProperty(settings_, type_index + kFirstTypeProperty, value);
  }

  bool Open() { return vantorico::OpenCommonDialog(settings_, window_.hwnd); }

 private:
  LiveWindow& window_;
  CommonDlgSettings settings_;
};

std::unique_ptr<UnitObject> MakeCommonDlg(LiveWindow& window, LiveUnit& unit) {
  return std::make_unique<CommonDlgObject>(window, unit.record->commonDlg);
}

}  // namespace

void RegisterCommonDlgUnits() {
  RegisterUnitKind(kKindCommonDlg, MakeCommonDlg);
}

void OpenCommonDialog(ArgSlot* result, int count, ArgSlot* args) {
  *result = BoolSlot(false);
  if (count < 1) return;
  WindowEntry* entry = FindWindowEntry(args[0].value);
  LiveUnit* unit = entry && entry->live ? entry->live->FindUnit(args[0].high) : nullptr;
  if (!unit) ReportRuntimeError(kTextUnitNotLoaded, 0);
  auto* dialog = dynamic_cast<CommonDlgObject*>(unit->object.get());
  if (dialog) *result = BoolSlot(dialog->Open());
}

}  // namespace vantorico

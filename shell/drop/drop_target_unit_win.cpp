#include "shell/drop/drop_target_unit_win.h"

namespace vantorico {

DropTargetUnit::DropTargetUnit(HWND parent, const DropTargetSettings& settings,
                               DropEventCallback fire)
    : parent_(parent), sink_(settings, std::move(fire)) {}

DropTargetUnit::~DropTargetUnit() {
  // The registration holds a pointer into this object, so it goes with it. Only
  // a registration of our own is revoked: after a failed one the window may
  // carry another target.
  if (holdsRegistration_) RevokeDragDrop(registered_);
}

bool DropTargetUnit::RegisterFileDrop(HWND window) {
  if (registered_) return false;
  registered_ = window;
  holdsRegistration_ = RegisterDragDrop(window, &sink_) == S_OK;
  return holdsRegistration_;
}

bool DropTargetUnit::ReadProperty(int index, int32_t* value) const {
  return ReadDropTargetProperty(sink_.settings(), index, value);
}

bool DropTargetUnit::WriteProperty(int index, int32_t value) {
  return WriteDropTargetProperty(sink_.settings(), index, value);
}

}  // namespace vantorico

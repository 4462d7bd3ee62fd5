#pragma once
// A DropTarget unit's run-time object: its sink, the window it registered and
// the revocation when the unit goes.
#include <windows.h>

#include "shell/drop/drop_target_sink_win.h"

namespace vantorico {

class DropTargetUnit {
 public:
  // parent: the window that holds the unit. fire raises the unit's events.
  DropTargetUnit(HWND parent, const DropTargetSettings& settings, DropEventCallback fire);
  // Revokes the registration, if any.
  ~DropTargetUnit();
  DropTargetUnit(const DropTargetUnit&) = delete;
  DropTargetUnit& operator=(const DropTargetUnit&) = delete;

  // Makes the sink window's drop target. Refused (false) once any window has
  // been recorded, also after a registration that failed.
  bool RegisterFileDrop(HWND window);

  HWND parentWindow() const { return parent_; }
  HWND registeredWindow() const { return registered_; }
  DropTargetSink& sink() { return sink_; }

  bool ReadProperty(int index, int32_t* value) const;
  bool WriteProperty(int index, int32_t value);

 private:
  HWND parent_;
  HWND registered_ = nullptr;
  bool holdsRegistration_ = false;
  DropTargetSink sink_;
};

}  // namespace vantorico

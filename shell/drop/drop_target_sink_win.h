#pragma once
// The OLE drop target of a DropTarget unit. It lives inside the unit: its count
// starts at the unit's own reference, and it is never deleted through Release.
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

#include "shell/drop/drop_kinds.h"
#include "shell/drop/drop_target_settings.h"

namespace vantorico {

// Fires a unit event (a DropTargetEvent) with its one text argument (null for
// the empty text, valid only during the call). False stops the remaining kinds.
using DropEventCallback = std::function<bool(int eventIndex, const char* text)>;

class DropTargetSink final : public IDropTarget {
 public:
  DropTargetSink(const DropTargetSettings& settings, DropEventCallback fire);
  DropTargetSink(const DropTargetSink&) = delete;
  DropTargetSink& operator=(const DropTargetSink&) = delete;
  virtual ~DropTargetSink() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point,
                                 DWORD* effect) override;

  ULONG referenceCount() const { return static_cast<ULONG>(references_); }
  bool accepting() const { return accepting_; }
  DropTargetSettings& settings() { return settings_; }
  const DropTargetSettings& settings() const { return settings_; }

 private:
  bool Offers(IDataObject* data, UINT format) const;
  // The clipboard format each kind is asked for and taken in.
  UINT FormatOf(DropKind kind) const;
  // The text the kind's event carries; false when the data does not give it.
  bool EventText(IDataObject* data, DropKind kind, std::string* text) const;
  // Fires one event; false when the callback asked to stop.
  bool Fire(int eventIndex, const char* text, size_t length);

  LONG references_ = 1;
  bool accepting_ = false;
  DropTargetSettings settings_;
  UINT linkFormat_;
  UINT htmlFormat_;
  DropEventCallback fire_;
};

}  // namespace vantorico

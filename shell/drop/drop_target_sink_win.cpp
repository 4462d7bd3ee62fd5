#include "shell/drop/drop_target_sink_win.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "base/code_page_win.h"
#include "base/utf16.h"
#include "base/win_handles.h"
#include "runtime/core/memory.h"
#include "runtime/core/texts.h"
#include "shell/drop/drop_effect.h"
#include "shell/drop/drop_kinds.h"
#include "shell/drop/drop_text.h"

namespace vantorico {

// The portable copies of the platform's numbers.
static_assert(kDropEffectNone == DROPEFFECT_NONE && kDropEffectCopy == DROPEFFECT_COPY &&
              kDropEffectMove == DROPEFFECT_MOVE && kDropEffectLink == DROPEFFECT_LINK);
static_assert(kKeyShift == MK_SHIFT && kKeyControl == MK_CONTROL);
static_assert(kFormatText == CF_TEXT && kFormatHDrop == CF_HDROP);
static_assert(static_cast<HRESULT>(kDropResult) == E_FAIL);

namespace {

FORMATETC GlobalFormat(UINT format) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The bytes of a global block up to its first NUL; false when GetData fails.
bool GetGlobalBytes(IDataObject* data, UINT format, std::string* bytes) {
  FORMATETC request = GlobalFormat(format);
  StgMediumGuard medium;
  if (data->GetData(&request, medium.put()) != S_OK) {
    medium.mark_empty();
    return false;
  }
  if (medium.get().tymed != TYMED_HGLOBAL) return false;
  GlobalLockGuard lock(medium.get().hGlobal);
  if (!lock.get()) return false;
  const auto* start = static_cast<const char*>(lock.get());
  const size_t size = GlobalSize(medium.get().hGlobal);
  size_t length = 0;
  while (length < size && start[length] != '\0') ++length;
  bytes->assign(start, length);
  return true;
}

// UTF-8 HTML as ANSI, no-break spaces made plain.
std::string HtmlAsAnsi(const std::string& utf8) {
  std::wstring text = Utf8ToWide(utf8);
  if (text.empty()) return std::string();
  for (wchar_t& c : text) {
    if (c == kNoBreakSpace) c = L' ';
  }
  return WideToCodePage(text);
}

// The paths of a CF_HDROP in the order the data lists them; false when the
// data does not give one.
bool DroppedPaths(IDataObject* data, std::vector<std::string>* paths) {
  FORMATETC request = GlobalFormat(kFormatHDrop);
  StgMediumGuard medium;
  if (data->GetData(&request, medium.put()) != S_OK) {
    medium.mark_empty();
    return false;
  }
  auto drop = static_cast<HDROP>(medium.get().hGlobal);
  const UINT count = DragQueryFileA(drop, kDragQueryCount, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string path(length + 1, '\0');
    const UINT got = DragQueryFileA(drop, i, path.data(), length + 1);
    path.resize(got);
    paths->push_back(std::move(path));
  }
  return true;
}

}  // namespace

DropTargetSink::DropTargetSink(const DropTargetSettings& settings, DropEventCallback fire)
    : settings_(settings),
      linkFormat_(RegisterClipboardFormatA(kLinkFormatName)),
      htmlFormat_(RegisterClipboardFormatA(kHtmlFormatName)),
      fire_(std::move(fire)) {}

HRESULT STDMETHODCALLTYPE DropTargetSink::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTargetSink::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE DropTargetSink::Release() {
  return static_cast<ULONG>(InterlockedDecrement(&references_));
}

bool DropTargetSink::Offers(IDataObject* data, UINT format) const {
  FORMATETC request = GlobalFormat(format);
  return data && data->QueryGetData(&request) == S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetSink::DragEnter(IDataObject* data, DWORD keyState, POINTL,
                                                    DWORD* effect) {
  const std::vector<DropKind> kinds = AcceptQueryOrder(settings_);
  // With nothing accepted the previous answer stands.
  if (!kinds.empty()) {
    accepting_ = false;
    for (DropKind kind : kinds) {
      if (Offers(data, FormatOf(kind))) {
        accepting_ = true;
        break;
      }
    }
  }
  if (effect) *effect = DropEffectFor(accepting_, keyState, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetSink::DragOver(DWORD keyState, POINTL, DWORD* effect) {
  if (effect) *effect = DropEffectFor(accepting_, keyState, *effect);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetSink::DragLeave() {
  accepting_ = false;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTargetSink::Drop(IDataObject* data, DWORD keyState, POINTL,
                                               DWORD* effect) {
  const uint32_t result = DropEffectFor(accepting_, keyState, effect ? *effect : kDropEffectNone);
  if (effect) *effect = result;
  if (result != kDropEffectNone && data) {
    for (DropKind kind : DropHandlingOrder(settings_)) {
      std::string text;
      // A kind whose data cannot be had is passed over.
      if (!EventText(data, kind, &text)) continue;
      if (!Fire(EventForKind(kind), text.data(), text.size())) break;
    }
  }
  // The source is told the drop failed even after the event; the effect
  // above is what it reads.
  return static_cast<HRESULT>(kDropResult);
}

UINT DropTargetSink::FormatOf(DropKind kind) const {
  switch (kind) {
    case DropKind::Text:
      return kFormatText;
    case DropKind::Html:
      return htmlFormat_;
    case DropKind::Url:
      return linkFormat_;
    case DropKind::Files:
      return kFormatHDrop;
  }
  return kFormatHDrop;
}

bool DropTargetSink::EventText(IDataObject* data, DropKind kind, std::string* text) const {
  switch (kind) {
    case DropKind::Text:
      // Text that comes with HTML is left to the HTML kind.
      return !Offers(data, htmlFormat_) && GetGlobalBytes(data, kFormatText, text);
    case DropKind::Html: {
      std::string html;
      if (!GetGlobalBytes(data, htmlFormat_, &html)) return false;
      *text = HtmlAsAnsi(html);
      return true;
    }
    case DropKind::Url:
      return GetGlobalBytes(data, linkFormat_, text);
    case DropKind::Files: {
      std::vector<std::string> paths;
      if (!DroppedPaths(data, &paths)) return false;
      *text = BuildDropText(paths);
      return true;
    }
  }
  return false;
}

bool DropTargetSink::Fire(int eventIndex, const char* text, size_t length) {
  if (!fire_) return true;
  // The event's text is the runtime's own, freed once the handler returns.
  char* argument = NewTextOfLength(text, length);
  const bool goOn = fire_(eventIndex, argument);
  FreeMemory(argument);
  return goOn;
}

}  // namespace vantorico

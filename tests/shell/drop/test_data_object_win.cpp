#include "tests/shell/drop/test_data_object_win.h"

#include <shlobj.h>

#include <cstring>

namespace vantorico::testing_support {

void TestDataObject::OfferFiles(const std::vector<std::string>& paths, bool wide) {
  DROPFILES header = {};
  header.pFiles = sizeof header;
  header.fWide = wide ? TRUE : FALSE;
  std::string block(reinterpret_cast<const char*>(&header), sizeof header);
  for (const std::string& path : paths) {
    if (wide) {
      const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
      std::wstring w(static_cast<size_t>(n), L'\0');
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, w.data(), n);
      block.append(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    } else {
      block.append(path.c_str(), path.size() + 1);
    }
  }
  // The list ends with an empty string; an empty list is that string alone.
  const size_t unit = wide ? sizeof(wchar_t) : 1;
  block.append(paths.empty() ? 2 * unit : unit, '\0');
  Offer(CF_HDROP, block);
}

HRESULT STDMETHODCALLTYPE TestDataObject::QueryInterface(REFIID iid, void** object) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE TestDataObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE TestDataObject::Release() {
  return static_cast<ULONG>(InterlockedDecrement(&references_));
}

HRESULT STDMETHODCALLTYPE TestDataObject::QueryGetData(FORMATETC* format) {
  if (!format || !(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
  if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  return formats_.count(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE TestDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  ++getDataCalls_;
  const HRESULT query = QueryGetData(format);
  if (query != S_OK) return query;
  const std::string& bytes = formats_[format->cfFormat];
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
  if (!global) return E_OUTOFMEMORY;
  void* p = GlobalLock(global);
  if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
  GlobalUnlock(global);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = global;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TestDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> list;
  for (const auto& entry : formats_) {
    list.push_back(FORMATETC{static_cast<CLIPFORMAT>(entry.first), nullptr, DVASPECT_CONTENT, -1,
                             TYMED_HGLOBAL});
  }
  return SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), out);
}

}  // namespace vantorico::testing_support
